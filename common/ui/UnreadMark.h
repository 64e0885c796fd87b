// A value the board never answered for, on the screen: its control is tinted
// and a screen reader says "not read from the board". The mark is a property
// of the control, so each panel marks its own controls the same way.
#pragma once

class QWidget;

// An edit tints its field; a frame or a label tints its background.
enum class UnreadLook { Edit, Frame };

void setUnreadMark(QWidget* widget, bool unread, UnreadLook look);
