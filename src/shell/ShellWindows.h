#pragma once

class QWidget;

namespace mendo {

// The kinds of top-level windows the shell tells apart.
//
// A panel is a floating tool window (every panel of MendoAI is one), or a
// popup such as a menu. A main window is any other top-level window of the
// normal kind: dialogs and panels never are. MendoAI uses no update framework
// with windows of its own, so no window is set apart for one.
bool isPanel(const QWidget* window);
bool canBecomeMain(const QWidget* window);
bool isMainWindow(const QWidget* window);
// Shown and not minimised.
bool isVisibleMainWindow(const QWidget* window);

// The main window's look, applied whenever it is configured or brought back.
void configureMainWindowChrome(QWidget* window);

}  // namespace mendo
