#pragma once
// The title bar a window is made with: its kind (Qt::Window or Qt::Dialog),
// a title and a close button, and of the other buttons only those named
// (Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint, ...).
#include <Qt>

namespace platform::ui {

constexpr Qt::WindowFlags titleBar(Qt::WindowType kind, Qt::WindowFlags buttons = {})
{
    return kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | buttons;
}

} // namespace platform::ui
