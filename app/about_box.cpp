#include "app/about_box.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHideEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>

#include <algorithm>

#include "toolkit/font_size.h"

#ifndef PULMORA_VERSION
#define PULMORA_VERSION "0.1"
#endif

namespace pulmora {

const char* const kAboutAuthors = "Written by the Pulmora project";
const char* const kAboutComments =
    "A simulator of the human respiratory system for teaching and research in spirometry.";
const char* const kAboutAcknowledgement =
    "Built on Qt 6, the C++ standard library, CMake and Ninja, and tested with GoogleTest. "
    "On spirometry: M. R. Miller et al., Standardisation of spirometry, "
    "Eur Respir J 2005; 26: 319-338.";
const char* const kHiddenCreditLine = "Made with Qt";

namespace {

constexpr int kDesignScreenWidth = 1024;
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kLime(0x00, 0xFF, 0x00);

QFont boxFont(int pixels, bool bold = false) {
    QFont f;
    f.setFamilies({"MS Sans Serif", "Liberation Sans", "DejaVu Sans"});
    f.setPixelSize(std::max(6, pixels));
    f.setBold(bold);
    return f;
}

} // namespace

QString AboutVersionText() {
    return PULMORA_VERSION;
}

QPixmap ProgramIconPixmap(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/pulmora.svg"));
    QPainter p(&pixmap);
    renderer.render(&p);
    return pixmap;
}

TAboutBox::TAboutBox(int screenWidth, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      screenWidth_(screenWidth) {
    setObjectName("AboutBox");
    setWindowTitle("Autorzy");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kSilver);
    setPalette(pal);
    setFont(boxFont(scaled(11)));

    auto place = [this](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(scaled(left), scaled(top), scaled(width), scaled(height));
    };
    // A label that takes the size of its text, as the design's auto-sized labels do.
    auto textLabel = [this](QWidget* parent, const char* name, const QString& text, int left,
                            int top, bool bold) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(name);
        l->setFont(boxFont(scaled(11), bold));
        l->move(scaled(left), scaled(top));
        l->adjustSize();
        return l;
    };

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    // Outer bevel lowered, inner raised: the etched frame.
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    place(Panel1, 9, 5, 440, 284);
    Panel1->installEventFilter(this);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName("ProgramIcon");
    place(ProgramIcon, 8, 8, 63, 57);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(ProgramIconPixmap(ProgramIcon->size()));

    ProductName = textLabel(Panel1, "ProductName", "Pulmora", 128, 16, true);
    Version = textLabel(Panel1, "Version", "Version: " + AboutVersionText(), 121, 40, true);
    Authors = textLabel(Panel1, "Authors", kAboutAuthors, 9, 80, false);
    Comments = new QLabel(kAboutComments, Panel1);
    Comments->setObjectName("Comments");
    Comments->setWordWrap(true);
    Comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Comments, 16, 128, 408, 26);
    Label2 = new QLabel(kAboutAcknowledgement, Panel1);
    Label2->setObjectName("Label2");
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Label2, 39, 186, 350, 78);

    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    place(OKButton, 168, 303, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    PaintBox1 = new QLabel(this);
    PaintBox1->setObjectName("PaintBox1");
    place(PaintBox1, 14, 245, 52, 19);
    PaintBox1->hide();

    setFixedSize(scaled(460), scaled(335));
}

int TAboutBox::scaled(int designValue) const {
    return mulDivRounded(designValue, screenWidth_, kDesignScreenWidth);
}

void TAboutBox::Panel1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    if (button != Qt::RightButton || !(modifiers & Qt::ShiftModifier)) return;
    PaintBox1->setGeometry(Panel1->geometry());
    Panel1->hide();
    // One line on the box's surface; it stays until the box is hidden.
    QPixmap surface(PaintBox1->size());
    surface.fill(palette().color(QPalette::Window));
    QPainter p(&surface);
    QFont f;
    f.setFamilies({"Arial", "Liberation Sans", "DejaVu Sans"});
    setFontPoints(f, 30);
    p.setFont(f);
    const QFontMetrics metrics(f);
    const QRect line(40, 50, metrics.horizontalAdvance(kHiddenCreditLine), metrics.height());
    p.fillRect(line, kLime);
    p.setPen(Qt::black);
    p.drawText(line, Qt::AlignLeft | Qt::AlignTop, kHiddenCreditLine);
    p.end();
    PaintBox1->setPixmap(surface);
    PaintBox1->show();
    PaintBox1->raise();
}

void TAboutBox::showEvent(QShowEvent* event) {
    // Centred on the screen, not on the main window.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TAboutBox::hideEvent(QHideEvent* event) {
    Panel1->show();
    PaintBox1->hide();
    QDialog::hideEvent(event);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel1 && event->type() == QEvent::MouseButtonPress) {
        const auto* me = static_cast<QMouseEvent*>(event);
        Panel1MouseDown(me->button(), me->modifiers());
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pulmora
