// The desktop clipboard and its keys.
#include "window_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>

namespace orv::window {

namespace {

// DXF text begins with a group code 0 and SECTION (blanks and a byte order mark allowed).
bool looksLikeDxf(const QByteArray& text) {
  const QByteArray head = text.left(64).trimmed();
  QByteArray start = head;
  if (start.startsWith("\xEF\xBB\xBF")) start = start.mid(3).trimmed();
  if (!start.startsWith('0')) return false;
  return start.mid(1).trimmed().startsWith("SECTION");
}

bool hasSelectedText(QObject* focus) {
  if (auto* line = qobject_cast<QLineEdit*>(focus)) return line->hasSelectedText();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(focus)) return edit->textCursor().hasSelection();
  return false;
}

bool isEditableText(QObject* focus) {
  if (auto* line = qobject_cast<QLineEdit*>(focus)) return !line->isReadOnly();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(focus)) return !edit->isReadOnly();
  return false;
}

}  // namespace

DesktopClipboard::DesktopClipboard() : before_(app::currentClipboard()) { app::setClipboard(this); }

DesktopClipboard::~DesktopClipboard() {
  if (app::currentClipboard() == this) app::setClipboard(before_);
}

void DesktopClipboard::put(const std::string& dxf) {
  auto* data = new QMimeData;
  const QByteArray bytes = QByteArray::fromStdString(dxf);
  // The bytes as written (the drawing says its code page) under both types.
  data->setData(QString::fromLatin1(kDxfMimeType), bytes);
  data->setData(QStringLiteral("text/plain"), bytes);
  QApplication::clipboard()->setMimeData(data);
}

std::optional<std::string> DesktopClipboard::text() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data) return std::nullopt;
  if (data->hasFormat(QString::fromLatin1(kDxfMimeType)))
    return data->data(QString::fromLatin1(kDxfMimeType)).toStdString();
  if (data->hasFormat(QStringLiteral("text/plain"))) return data->data(QStringLiteral("text/plain")).toStdString();
  if (data->hasText()) return data->text().toStdString();
  return std::nullopt;
}

bool DesktopClipboard::holdsDrawing() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data) return false;
  if (data->hasFormat(QString::fromLatin1(kDxfMimeType))) return true;
  return data->hasFormat(QStringLiteral("text/plain")) && looksLikeDxf(data->data(QStringLiteral("text/plain")));
}

const char* clipboardCommandOf(const QKeyEvent& key, QObject* focus) {
  const Qt::KeyboardModifiers mods =
      key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
  if (mods != Qt::ControlModifier) return nullptr;
  switch (key.key()) {
    case Qt::Key_C: return hasSelectedText(focus) ? nullptr : "COPYCLIP";
    case Qt::Key_X: return hasSelectedText(focus) ? nullptr : "CUTCLIP";
    case Qt::Key_V:
      if (DesktopClipboard::holdsDrawing()) return "PASTECLIP";
      return isEditableText(focus) ? nullptr : "PASTECLIP";
    default: return nullptr;
  }
}

}  // namespace orv::window
