// Marks on the controls that show the board's values, so each panel marks its
// own controls the same way. A value the board never answered for is tinted
// and a screen reader says "not read from the board"; a value the screen shows
// over what the board holds (typed, or from a loaded file) is tinted another
// way and described with the board's value. The mark is a property of the
// control: setting the same mark again costs nothing.
#pragma once

class QString;
class QWidget;

// An edit tints its field; a frame or a label tints its background.
enum class UnreadLook { Edit, Frame };

enum class ValueMark {
    None,
    Unread,  // the board never answered for it
    Loaded,  // a loaded file put it there; what the board holds is not known
    Differs, // the board holds another value
};

void setValueMark(QWidget* widget, ValueMark mark, UnreadLook look, const QString& description);
void setUnreadMark(QWidget* widget, bool unread, UnreadLook look);
