#include "app/About.h"

#include "app/JpegImage.h"
#include "common/Define.h"

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
    , Label4(new QLabel(this))
    , Label1(new QLabel(QStringLiteral("Tavrin Manager, configuration tool for Kordex boards"), this))
    , Label2(new QLabel(QStringLiteral("Qor S.r.l."), this))
    , Label3(new QLabel(QStringLiteral("support@qor.example"), this))
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
    Image1->setAlignment(Qt::AlignCenter);
    QFile logo(QString::fromLatin1(LOGO_PICTURE));
    if (logo.open(QIODevice::ReadOnly)) {
        const QImage image = DecodeJpeg(logo.readAll());
        if (!image.isNull())
            Image1->setPixmap(QPixmap::fromImage(image));
    }
    const struct {
        QLabel* label;
        const char* name;
        const char* accessible;
    } labels[] = {{Label4, "Label4", "Version"},
                  {Label1, "Label1", "Product"},
                  {Label2, "Label2", "Maker"},
                  {Label3, "Label3", "Contact"}};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Image1);
    for (const auto& entry : labels) {
        entry.label->setObjectName(QString::fromLatin1(entry.name));
        entry.label->setAccessibleName(QString::fromLatin1(entry.accessible));
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
    Label4->setText(QStringLiteral("VER. %1").arg(Define::VERSIONE));
}

void TQorForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}
