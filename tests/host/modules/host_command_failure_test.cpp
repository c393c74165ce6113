// A host command that fails part way ends with a message; the session and its
// drawing go on.
#include <gtest/gtest.h>

#include <new>
#include <sstream>
#include <stdexcept>

#include "db_impl.h"
#include "orv/prompt/script_console.h"
#include "session.h"

namespace {

using orv::app::Session;

TEST(HostCommandFailure, endsTheCommandWithAMessageAndTheSessionGoesOn) {
  std::istringstream in;
  std::ostringstream out;
  orv::prompt::ScriptConsole console{in, out};
  Session session{console};
  orv::db::Database& drawing = session.database();
  const std::size_t before = drawing.entitySlotCount();

  // Memory running out while a drawing is read, and any other failure.
  session.addHostCommand({"BIGOPEN", "", [](Session&) { throw std::bad_alloc(); }, false});
  session.addHostCommand({"HALFLINE", "",
                          [](Session& s) {
                            orv::db::Line line{{0, 0, 0}, {1, 1, 0}};
                            ASSERT_TRUE(s.database().append(orv::db::Entity(line)));
                            throw std::runtime_error("disk gone");
                          },
                          true});
  session.execute("BIGOPEN");
  EXPECT_NE(out.str().find("命令 BIGOPEN 出错: 内存不足"), std::string::npos) << out.str();
  session.execute("HALFLINE");
  EXPECT_NE(out.str().find("命令 HALFLINE 出错: disk gone"), std::string::npos) << out.str();

  // What the failed command did is one step that UNDO takes back.
  EXPECT_EQ(drawing.entitySlotCount(), before + 1);
  std::string undone;
  EXPECT_TRUE(session.undoLastCommand(undone));
  EXPECT_EQ(undone, "HALFLINE");
  EXPECT_TRUE(drawing.entity(orv::db::ObjectId{static_cast<std::uint32_t>(before)})->isErased());
}

}  // namespace
