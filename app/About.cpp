#include "app/About.h"

#include "app/JpegImage.h"
#include "app/ScreenCentre.h"
#include "common/Define.h"
#include "common/ValueLabel.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const char* const LOGO_PICTURE = ":/logo.jpg";
}

TQorForm::TQorForm(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , Image1(new QLabel(this))
    , Label4(new ValueLabel(QStringLiteral("Version"), this))
    , Label1(new ValueLabel(QStringLiteral("Product"), this))
    , Label2(new ValueLabel(QStringLiteral("Maker"), this))
    , Label3(new ValueLabel(QStringLiteral("Contact"), this))
    , Office97Button11(new QPushButton(QStringLiteral("Ok"), this))
{
    setObjectName(QStringLiteral("QorForm"));
    setWindowTitle(QStringLiteral("Qor S.r.l."));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);

    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Maker logo"));
    Image1->setScaledContents(true);
    QFile logo(QString::fromLatin1(LOGO_PICTURE));
    if (logo.open(QIODevice::ReadOnly)) {
        const QImage image = DecodeJpeg(logo.readAll());
        if (!image.isNull())
            Image1->setPixmap(QPixmap::fromImage(image));
    }
    // The version is filled in on every showing; the credit lines are fixed.
    const struct {
        ValueLabel* label;
        const char* name;
        const char* text;
    } labels[] = {{Label4, "Label4", ""},
                  {Label1, "Label1", "Tavrin Manager, configuration tool for Kordex boards"},
                  {Label2, "Label2", "Qor S.r.l."},
                  {Label3, "Label3", "support@qor.example"}};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Image1);
    for (const auto& entry : labels) {
        entry.label->setObjectName(QString::fromLatin1(entry.name));
        entry.label->setValue(QString::fromUtf8(entry.text));
        entry.label->setAlignment(Qt::AlignCenter);
        layout->addWidget(entry.label);
    }
    Office97Button11->setObjectName(QStringLiteral("Office97Button11"));
    Office97Button11->setAccessibleName(QStringLiteral("Ok"));
    layout->addWidget(Office97Button11, 0, Qt::AlignHCenter);
    resize(380, 300);
}

void TQorForm::FormShow()
{
    Label4->setValue(QStringLiteral("VER. %1").arg(Define::VERSIONE));
}

void TQorForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        CentreOnScreen(this);
        FormShow();
    }
}
