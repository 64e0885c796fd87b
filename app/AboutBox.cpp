#include "app/AboutBox.h"

#include "app/JpegImage.h"
#include "app/ScreenCentre.h"
#include "common/Define.h"
#include "common/ui/ValueLabel.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const char* const LOGO_PICTURE = ":/logo.jpg";
}

AboutBox::AboutBox(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , logo(new QLabel(this))
    , version(new ValueLabel(QStringLiteral("Version"), this))
    , productLine(new ValueLabel(QStringLiteral("Product"), this))
    , makerLine(new ValueLabel(QStringLiteral("Maker"), this))
    , supportLine(new ValueLabel(QStringLiteral("Contact"), this))
    , okButton(new QPushButton(QStringLiteral("Ok"), this))
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("Qor S.r.l."));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);

    logo->setObjectName(QStringLiteral("logo"));
    logo->setAccessibleName(QStringLiteral("Maker logo"));
    logo->setScaledContents(true);
    QFile picture(QString::fromLatin1(LOGO_PICTURE));
    if (picture.open(QIODevice::ReadOnly)) {
        const QImage image = DecodeJpeg(picture.readAll());
        if (!image.isNull())
            logo->setPixmap(QPixmap::fromImage(image));
    }
    // The version is filled in on every showing; the credit lines are fixed.
    const struct {
        ValueLabel* label;
        const char* name;
        const char* text;
    } labels[] = {{version, "version", ""},
                  {productLine, "productLine", "Tavrin Manager, configuration tool for Kordex boards"},
                  {makerLine, "makerLine", "Qor S.r.l."},
                  {supportLine, "supportLine", "support@qor.example"}};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(logo);
    for (const auto& entry : labels) {
        entry.label->setObjectName(QString::fromLatin1(entry.name));
        entry.label->setValue(QString::fromUtf8(entry.text));
        entry.label->setAlignment(Qt::AlignCenter);
        layout->addWidget(entry.label);
    }
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setAccessibleName(QStringLiteral("Ok"));
    layout->addWidget(okButton, 0, Qt::AlignHCenter);
    resize(380, 300);
}

void AboutBox::showVersion()
{
    version->setValue(QStringLiteral("VER. %1").arg(Define::VERSIONE));
}

void AboutBox::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        CentreOnScreen(this);
        showVersion();
    }
}
