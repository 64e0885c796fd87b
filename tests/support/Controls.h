// Finds a control as a person or a screen reader would: by the name it carries,
// anywhere under a window, not through the fields of the panel that built it.
#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

// The control of type W named objectName under root. A missing one fails the
// running test with its name and ends the run there: nothing after it could be
// pressed or read.
template <class W> W* control(const QWidget* root, const QString& objectName)
{
    W* found = root->findChild<W*>(objectName);
    if (!found) {
        const QByteArray missing =
            "No control named " + objectName.toLatin1() + " under " + root->objectName().toLatin1();
        QTest::qFail(missing.constData(), __FILE__, __LINE__);
        qFatal("%s", missing.constData());
    }
    return found;
}
