// A headless session for running one command of the plug-in: the SDK bound to
// a prompt engine whose replies come from a string, a private settings file
// and a new drawing as the current one.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "dbmain.h"
#include "host_bindings.h"
#include "orv/prompt/engine.h"
#include "orv/prompt/script_console.h"

class CommandFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = orv::sdk::bind({&engine_, nullptr, nullptr});
    newDrawing();
    dir_ = std::filesystem::temp_directory_path() /
           ("orv-plugin-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    orv::sdk::bind(saved_);
    std::filesystem::remove_all(dir_);
  }

  // The replies of the next command, one per line.
  void replies(const std::string& lines) {
    in_.clear();
    in_.str(lines);
    out_.str("");
    engine_.resumeInput();
  }
  std::string transcript() const { return out_.str(); }

  // The current drawing the commands draw on.
  AcDbDatabase* drawing() const { return drawing_.get(); }
  // Replaces the current drawing with a new, empty one.
  void newDrawing() {
    drawing_ = std::make_unique<AcDbDatabase>(true);
    orv::sdk::HostBindings bindings = orv::sdk::bound();
    bindings.drawing = drawing_.get();
    orv::sdk::bind(bindings);
  }

  std::wstring iniPath() const { return (dir_ / "draw.ini").wstring(); }
  std::string ini() const {
    std::ifstream f(dir_ / "draw.ini", std::ios::binary);
    if (!f) return "<none>";
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }
  void writeIni(const std::string& text) const {
    std::ofstream(dir_ / "draw.ini", std::ios::binary) << text;
  }

  template <class Worker>
  void run(const std::string& lines) {
    replies(lines);
    Worker worker;
    worker.m_iniPath = iniPath();
    worker.run();
  }

 private:
  std::istringstream in_;
  std::ostringstream out_;
  orv::prompt::ScriptConsole console_{in_, out_};
  orv::prompt::PromptEngine engine_{console_};
  std::unique_ptr<AcDbDatabase> drawing_;
  orv::sdk::HostBindings saved_;
  std::filesystem::path dir_;
};
