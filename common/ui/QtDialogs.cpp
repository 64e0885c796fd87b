#include "common/ui/QtDialogs.h"

#include "common/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

// Texts keep their bytes (the component's errors separate their lines with a
// lone CR); only what the box shows turns CR LF and a lone CR into line breaks.
QString shownText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, QApplication::applicationDisplayName(), shownText(text), buttons, dialogParent());
    // Plain text: a message quoting "<" from a file or the board is shown as it is.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    const ModalScope modal;
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

class QtDialogs final : public Dialogs {
public:
    void message(const QString& text) override
    {
        showBox(QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
    }
    void error(const QString& text) override
    {
        showBox(QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
    }
    bool askYesNo(const QString& text) override
    {
        return showBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
               QMessageBox::Yes;
    }
    QString openFileName(const QString& caption, const QString& folder, const QString& filter) override
    {
        const ModalScope modal;
        return QFileDialog::getOpenFileName(dialogParent(), caption, folder, filter);
    }
    QString saveFileName(const QString& caption, const QString& folder, const QString& filter) override
    {
        const ModalScope modal;
        return QFileDialog::getSaveFileName(dialogParent(), caption, folder, filter);
    }
};

} // namespace

void InstallQtDialogs()
{
    static QtDialogs qtDialogs;
    setStandardDialogs(&qtDialogs);
}
