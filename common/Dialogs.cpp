#include "common/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

class QtDialogs final : public Dialogs {
public:
    void message(const QString& text) override
    {
        QMessageBox::information(dialogParent(), QApplication::applicationDisplayName(), text);
    }
    void error(const QString& text) override
    {
        QMessageBox::critical(dialogParent(), QApplication::applicationDisplayName(), text);
    }
    bool askYesNo(const QString& text) override
    {
        return QMessageBox::question(dialogParent(), QApplication::applicationDisplayName(), text,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    }
    QString openFileName(const QString& caption, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(dialogParent(), caption, folder, filter);
    }
    QString saveFileName(const QString& caption, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getSaveFileName(dialogParent(), caption, folder, filter);
    }
};

QtDialogs qtDialogs;
Dialogs* current = &qtDialogs;

} // namespace

Dialogs& dialogs()
{
    return *current;
}

void setDialogs(Dialogs* replacement)
{
    current = replacement ? replacement : &qtDialogs;
}
