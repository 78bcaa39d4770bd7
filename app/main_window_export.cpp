// The export commands of the main window: the shown run as CSV for a spreadsheet, and the two
// plots as a picture (PNG or SVG) for a report or a slide.

#include <QBuffer>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "app/image_box.h"
#include "app/main_window.h"
#include "core/simulation_record.h"
#include "results/run_csv.h"
#include "toolkit/message_box.h"
#include "toolkit/save_file.h"

namespace pulmora {

namespace {

enum class ImageFormat { Png, Svg };

struct ImageChoice {
    ImageFormat format = ImageFormat::Png;
    QSize size; // pixels of the picture; the screen's proportions
};

// The largest picture offered: 4000 pixels wide is a poster, and the picture is held whole
// while it is drawn (about 85 MB at this width).
constexpr int kMaxImageWidth = 4000;
constexpr int kMinImageWidth = 50;

// The height that keeps the screen's proportions, rounded half to even.
int heightFor(int width, QSize screen) {
    return static_cast<int>(std::nearbyint(double(width) * screen.height() / screen.width()));
}

// The format and the width of the picture; the height follows the screen's proportions, and
// "As on the screen" gives the plots' own size, pixel for pixel.
class SavePlotsDialog : public QDialog {
  public:
    SavePlotsDialog(QSize screen, QWidget* parent) : QDialog(parent), screen_(screen) {
        setObjectName("SavePlotsDialog");
        setWindowTitle("Save plots as image");
        format_ = new QComboBox(this);
        format_->setObjectName("ImageFormat");
        format_->addItems({"PNG", "SVG"});
        width_ = new QSpinBox(this);
        width_->setObjectName("ImageWidth");
        width_->setRange(kMinImageWidth, kMaxImageWidth);
        width_->setSuffix(" pixels");
        width_->setValue(std::clamp(screen.width(), kMinImageWidth, kMaxImageWidth));
        height_ = new QLabel(this);
        height_->setObjectName("ImageHeight");
        auto* asOnScreen = new QPushButton("As on the screen", this);
        asOnScreen->setObjectName("AsOnScreen");
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

        auto* form = new QFormLayout(this);
        form->addRow("Format:", format_);
        form->addRow("Width:", width_);
        form->addRow("Height:", height_);
        form->addRow("", asOnScreen);
        form->addRow(buttons);

        connect(width_, &QSpinBox::valueChanged, this, [this] { showHeight(); });
        connect(asOnScreen, &QPushButton::clicked, this,
                [this] { width_->setValue(screen_.width()); });
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        showHeight();
    }

    ImageChoice choice() const {
        return {format_->currentIndex() == 1 ? ImageFormat::Svg : ImageFormat::Png,
                QSize(width_->value(), heightFor(width_->value(), screen_))};
    }

  private:
    void showHeight() {
        height_->setText(QString("%1 pixels").arg(heightFor(width_->value(), screen_)));
    }

    QSize screen_;
    QComboBox* format_;
    QSpinBox* width_;
    QLabel* height_;
};

// The path of a new file: the hook's answer when one is set, else the save dialog's. Empty
// for a cancel. A name without the extension gets it.
QString chooseExportFile(TForm1& w, const QString& filter, const QString& suffix) {
    const QString folder = w.state().ProgramFolder + "simulations";
    QString path;
    if (w.fileDialogHook) {
        path = w.fileDialogHook(TForm1::FileDialogKind::Save, folder);
    } else {
        QFileDialog dialog(&w);
        dialog.setDirectory(folder);
        dialog.setNameFilter(filter);
        dialog.setDefaultSuffix(suffix);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().constFirst();
    }
    if (!path.isEmpty() && !path.endsWith("." + suffix, Qt::CaseInsensitive)) path += "." + suffix;
    return path;
}

// The screen picture at `size`. Enlarged, every screen pixel becomes a block of the same
// colour, so lines stay as sharp and coloured as on the screen; reduced, neighbouring pixels
// are averaged so that one-pixel lines do not drop out.
QByteArray pngBytes(const QImage& screen, QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::SmoothPixmapTransform, size.width() < screen.width());
        p.scale(double(size.width()) / screen.width(), double(size.height()) / screen.height());
        p.drawImage(0, 0, screen);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

// The plots are drawn into pixels, so the SVG holds those pixels as shapes: one filled path
// per colour, made of the rectangles that runs of equal pixels form. It shows exactly what the
// screen shows and stays sharp at any zoom. The most common colour (the white paper) is the
// background rectangle. Written by hand rather than through QSvgGenerator, which would give
// the size in millimetres and spell every rectangle out as four points.
QByteArray svgBytes(const QImage& screen, QSize size) {
    const QImage image = screen.convertToFormat(QImage::Format_RGB32);
    const int W = image.width(), H = image.height();
    std::map<QRgb, qsizetype> counts;
    for (int y = 0; y < H; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < W; ++x)
            ++counts[line[x] & RGB_MASK];
    }
    QRgb paper = qRgb(255, 255, 255) & RGB_MASK;
    qsizetype most = 0;
    for (const auto& [colour, n] : counts)
        if (n > most) most = n, paper = colour;

    // Runs of a colour in one row, keyed by (left, right exclusive, colour); a run that
    // repeats the one right above it makes that rectangle a row taller, so that a vertical
    // line is one rectangle.
    using RunKey = std::tuple<int, int, QRgb>;
    std::map<RunKey, QRect> open, previous;
    std::map<QRgb, QString> paths;
    auto close = [&](const RunKey& key, const QRect& r) {
        paths[std::get<2>(key)] +=
            QString("M%1 %2h%3v%4h-%3z").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    };
    for (int y = 0; y < H; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        open.clear();
        for (int x = 0; x < W;) {
            const QRgb colour = line[x] & RGB_MASK;
            int end = x + 1;
            while (end < W && (line[end] & RGB_MASK) == colour)
                ++end;
            if (colour != paper) {
                const RunKey key{x, end, colour};
                const auto above = previous.find(key);
                if (above != previous.end()) {
                    open[key] = above->second.adjusted(0, 0, 0, 1);
                    previous.erase(above);
                } else {
                    open[key] = QRect(x, y, end - x, 1);
                }
            }
            x = end;
        }
        for (const auto& [key, rect] : previous)
            close(key, rect);
        previous.swap(open);
    }
    for (const auto& [key, rect] : previous)
        close(key, rect);

    auto hex = [](QRgb c) { return QColor(c).name(QColor::HexRgb); };
    QByteArray bytes;
    QXmlStreamWriter svg(&bytes);
    svg.setAutoFormatting(true); // a colour a line, for a reader or a diff
    svg.writeStartDocument();
    svg.writeStartElement("svg");
    svg.writeDefaultNamespace("http://www.w3.org/2000/svg");
    svg.writeAttribute("version", "1.1");
    svg.writeAttribute("width", QString::number(size.width()));
    svg.writeAttribute("height", QString::number(size.height()));
    svg.writeAttribute("viewBox", QString("0 0 %1 %2").arg(W).arg(H));
    // Edges between pixel rectangles must not show as hairlines when the picture is scaled.
    svg.writeAttribute("shape-rendering", "crispEdges");
    svg.writeTextElement("title", "Pulmora plots");
    svg.writeTextElement("desc",
                         "The flow-volume loop and the volume-time curve as shown in the window");
    svg.writeEmptyElement("rect");
    svg.writeAttribute("width", QString::number(W));
    svg.writeAttribute("height", QString::number(H));
    svg.writeAttribute("fill", hex(paper));
    for (const auto& [colour, d] : paths) {
        svg.writeEmptyElement("path");
        svg.writeAttribute("fill", hex(colour));
        svg.writeAttribute("d", d);
    }
    svg.writeEndElement();
    svg.writeEndDocument();
    return bytes;
}

} // namespace

QImage TForm1::PlotsScreenImage() {
    const QRect area = Image2->geometry().united(Image3->geometry());
    QImage image(area.size(), QImage::Format_RGB32);
    // Between the plots lies the window's own face, as on the screen.
    image.fill(client->palette().color(QPalette::Window));
    QPainter p(&image);
    for (ImageBox* plot : {Image2, Image3})
        plot->render(&p, plot->geometry().topLeft() - area.topLeft(), QRegion(),
                     QWidget::DrawChildren);
    return image;
}

void TForm1::ExportRunCsv1Click() {
    const RunHistory& history = *state().session.history;
    const int slot =
        history.selectedRun >= 1 && history.selectedRun < kHistorySlots ? history.selectedRun : 0;
    const QString path = chooseExportFile(*this, "CSV files (*.csv)", "csv");
    if (path.isEmpty()) return;
    saveWholeFile(this, path, QByteArray::fromStdString(runCsv(history.slot(slot), slot)));
}

void TForm1::SavePlotsImage1Click() {
    const QImage screen = PlotsScreenImage();
    SavePlotsDialog dialog(screen.size(), this);
    if (modalWindowHook) {
        dialog.setResult(QDialog::Accepted);
        modalWindowHook(dialog);
    } else {
        dialog.exec();
    }
    if (dialog.result() != QDialog::Accepted) return;
    const ImageChoice choice = dialog.choice();
    const bool svg = choice.format == ImageFormat::Svg;
    const QString path = chooseExportFile(
        *this, svg ? "SVG pictures (*.svg)" : "PNG pictures (*.png)", svg ? "svg" : "png");
    if (path.isEmpty()) return;
    saveWholeFile(this, path, svg ? svgBytes(screen, choice.size) : pngBytes(screen, choice.size));
}

} // namespace pulmora
