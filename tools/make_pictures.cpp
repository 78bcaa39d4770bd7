// pulmora-make-pictures FOLDER: draws the lung pictures the program shows and writes them into
// FOLDER: the five region pictures (the general view, then the main bronchi, the middle
// bronchi, the peripheral bronchi and the lungs each highlighted) as baseline JPEG streams with
// their first 100 bytes reversed, "F001.dat" ... "F005.dat"; the background of the airway
// drawing as a plain JPEG stream, "tlo.dat"; and the hot-spot table "F000.dat", whose points
// are taken from the same geometry, so that they always lie on the drawn regions.
//
// The schematic is seen from the front: the patient's right lung (three lobes) on the picture's
// left, the left lung (two lobes, with the heart's notch) on the right.

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

namespace {

// The pictures are drawn at this size and stretched onto the picture area by the program; the
// shape is that of the area on a common screen.
constexpr int kWidth = 600;
constexpr int kHeight = 675;

enum Region { kGeneral = 1, kMain = 2, kMiddle = 3, kPeripheral = 4, kLungs = 5 };

// Points are in percent of the width and height.
QPointF px(double x, double y) {
    return {x * kWidth / 100.0, y * kHeight / 100.0};
}
QPointF px(QPointF p) {
    return px(p.x(), p.y());
}
double pxW(double w) {
    return w * kWidth / 100.0;
}

// One airway segment of the schematic, in percent.
struct Segment {
    QPointF from, to;
    double width0, width1; // tube width at each end, percent of the width
    Region region;
    int depth;             // 0 for the large airways, 1 ... for the branches of the peripheral tree
    bool branches;         // the peripheral tree grows from its end
    double treeLength = 7; // first branches of that tree, percent of the width
};

struct Lung {
    QPainterPath outline;               // in pixels
    std::vector<QPainterPath> lobes;    // in pixels, clipped to the outline
    std::vector<QPainterPath> fissures; // lines between the lobes, in pixels
};

// ---- the geometry ----

QPainterPath pathOf(std::initializer_list<QPointF> percent, bool curved) {
    std::vector<QPointF> p;
    for (QPointF q : percent)
        p.push_back(px(q));
    QPainterPath path(p.front());
    if (!curved) {
        for (std::size_t i = 1; i < p.size(); ++i)
            path.lineTo(p[i]);
        path.closeSubpath();
        return path;
    }
    // A closed Catmull-Rom curve through the points, as cubic pieces.
    const std::size_t n = p.size();
    for (std::size_t i = 0; i < n; ++i) {
        const QPointF p0 = p[(i + n - 1) % n], p1 = p[i], p2 = p[(i + 1) % n], p3 = p[(i + 2) % n];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    path.closeSubpath();
    return path;
}

// The patient's right lung, on the picture's left: upper, middle and lower lobe.
Lung rightLung() {
    Lung l;
    l.outline = pathOf({{31, 11},
                        {37, 13},
                        {41, 22},
                        {43, 34},
                        {42, 44},
                        {43, 56},
                        {45, 70},
                        {45, 82},
                        {38, 84},
                        {27, 82},
                        {16, 86},
                        {9, 84},
                        {8, 66},
                        {10, 45},
                        {15, 27},
                        {23, 15}},
                       true);
    // The fissures, and the lobes cut along the very same curves.
    QPainterPath horizontal(px(8, 47));
    horizontal.quadTo(px(30, 49), px(43, 51));
    QPainterPath oblique(px(9, 51));
    oblique.quadTo(px(24, 66), px(36, 86));
    QPainterPath upper(px(0, 47));
    upper.lineTo(px(8, 47));
    upper.quadTo(px(30, 49), px(43, 51));
    upper.lineTo(px(50, 51));
    upper.lineTo(px(50, 0));
    upper.lineTo(px(0, 0));
    upper.closeSubpath();
    QPainterPath lowerSide(px(0, 51));
    lowerSide.lineTo(px(9, 51));
    lowerSide.quadTo(px(24, 66), px(36, 86));
    lowerSide.lineTo(px(40, 100));
    lowerSide.lineTo(px(0, 100));
    lowerSide.closeSubpath();
    l.lobes.push_back(l.outline.intersected(upper));
    l.lobes.push_back(l.outline.subtracted(upper).subtracted(lowerSide));
    l.lobes.push_back(l.outline.subtracted(upper).intersected(lowerSide));
    l.fissures = {horizontal, oblique};
    return l;
}

// The left lung, on the picture's right: upper lobe (with the lingula by the heart's notch) and
// lower lobe.
Lung leftLung() {
    Lung l;
    l.outline = pathOf({{69, 11},
                        {77, 15},
                        {85, 27},
                        {90, 45},
                        {92, 66},
                        {91, 84},
                        {84, 86},
                        {72, 82},
                        {63, 84},
                        {59, 78},
                        {62, 71},
                        {59, 63},
                        {57, 54},
                        {58, 44},
                        {58, 31},
                        {61, 20}},
                       true);
    QPainterPath oblique(px(91, 36));
    oblique.quadTo(px(78, 58), px(66, 85));
    QPainterPath lowerSide(px(100, 36));
    lowerSide.lineTo(px(91, 36));
    lowerSide.quadTo(px(78, 58), px(66, 85));
    lowerSide.lineTo(px(62, 100));
    lowerSide.lineTo(px(100, 100));
    lowerSide.closeSubpath();
    l.lobes.push_back(l.outline.subtracted(lowerSide));
    l.lobes.push_back(l.outline.intersected(lowerSide));
    l.fissures = {oblique};
    return l;
}

// The large airways: trachea, main bronchi and lobar bronchi.
std::vector<Segment> largeAirways() {
    return {
        {{50, 4}, {50, 37}, 6.4, 6.0, kMain, 0, false},        // trachea
        {{50, 37}, {42.5, 46}, 4.6, 4.2, kMain, 0, false},     // right main bronchus: steep
        {{50, 37}, {61.5, 47}, 4.2, 3.8, kMain, 0, false},     // left main bronchus: flatter
        {{45.5, 42}, {35, 31}, 3.0, 2.5, kMiddle, 0, true},    // right upper lobe bronchus
        {{42.5, 46}, {39.5, 55}, 3.6, 3.2, kMiddle, 0, false}, // intermediate bronchus
        {{39.5, 55}, {39, 65}, 2.6, 2.2, kMiddle, 0, true, 5}, // right middle lobe bronchus
        {{39.5, 55}, {29, 67}, 3.0, 2.6, kMiddle, 0, true},    // right lower lobe bronchus
        {{61.5, 47}, {69, 35}, 3.0, 2.6, kMiddle, 0, true},    // left upper lobe bronchus
        {{61.5, 47}, {64, 60}, 2.6, 2.2, kMiddle, 0, true, 5}, // lingular bronchus
        {{61.5, 47}, {73, 64}, 3.2, 2.6, kMiddle, 0, true},    // left lower lobe bronchus
    };
}

// The peripheral tree grows from each lobar bronchus's end: pairs of branches, each shorter and
// thinner than its parent. Directions are taken in pixels, so that the branching looks the
// same whatever the picture's shape; lengths are percent of the width.
void growBranches(std::vector<Segment>& out, QPointF from, double angle, double length,
                  double width, int depth) {
    if (depth > 4) return;
    const QPointF step(std::cos(angle) * length, std::sin(angle) * length * kWidth / kHeight);
    const QPointF to = from + step;
    out.push_back({from, to, width, width * 0.75, kPeripheral, depth, false});
    for (const double turn : {-0.5, 0.46})
        growBranches(out, to, angle + turn, length * 0.74, width * 0.72, depth + 1);
}

std::vector<Segment> peripheralAirways(const std::vector<Segment>& large) {
    std::vector<Segment> out;
    for (const Segment& s : large) {
        if (!s.branches) continue;
        const QPointF d = px(s.to) - px(s.from);
        // A fan of three, so that the tree spreads through the lobe.
        for (const double spread : {-0.7, 0.0, 0.7})
            growBranches(out, s.to, std::atan2(d.y(), d.x()) + spread, s.treeLength, 1.5, 1);
    }
    return out;
}

// ---- the drawing ----

struct Palette {
    QColor fill, outline;
};

// A region in its natural colours, highlighted, or faded behind a highlighted one.
Palette airwayPalette(Region region, Region highlight) {
    if (highlight == region) return {QColor(0xff, 0x9f, 0x1c), QColor(0xa8, 0x4a, 0x00)};
    if (highlight == kGeneral) return {QColor(0xf4, 0xf1, 0xea), QColor(0x6b, 0x7f, 0x94)};
    return {QColor(0xe6, 0xe9, 0xee), QColor(0xa9, 0xb4, 0xc0)};
}

Palette lungPalette(Region highlight) {
    if (highlight == kLungs) return {QColor(0xff, 0xa6, 0x5c), QColor(0xb3, 0x4d, 0x00)};
    if (highlight == kGeneral) return {QColor(0xf1, 0xa7, 0xa9), QColor(0xa5, 0x4f, 0x5a)};
    return {QColor(0xf6, 0xdd, 0xde), QColor(0xcf, 0xa9, 0xad)};
}

void drawBody(QPainter& p) {
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(0xf4, 0xf7, 0xfa));
    sky.setColorAt(1, QColor(0xdc, 0xe4, 0xec));
    p.fillRect(0, 0, kWidth, kHeight, sky);
    // The neck and the chest, in a soft skin tone.
    QPainterPath body(px(40, 0));
    body.lineTo(px(60, 0));
    body.cubicTo(px(60, 6), px(62, 8), px(70, 9));
    body.cubicTo(px(88, 11), px(97, 16), px(98, 30));
    body.lineTo(px(99, 100));
    body.lineTo(px(1, 100));
    body.lineTo(px(2, 30));
    body.cubicTo(px(3, 16), px(12, 11), px(30, 9));
    body.cubicTo(px(38, 8), px(40, 6), px(40, 0));
    p.setPen(QPen(QColor(0xd9, 0xc2, 0xb0), 2));
    p.setBrush(QColor(0xf7, 0xeb, 0xe2));
    p.drawPath(body);
    // The diaphragm under the lungs.
    QPainterPath diaphragm(px(4, 90));
    diaphragm.cubicTo(px(20, 80), px(40, 82), px(50, 88));
    diaphragm.cubicTo(px(60, 82), px(82, 80), px(96, 90));
    p.setPen(QPen(QColor(0xc9, 0xa2, 0x8e), pxW(1.0), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(diaphragm);
}

void drawHeart(QPainter& p, Region highlight) {
    QPainterPath heart = pathOf(
        {{51, 62}, {59, 60}, {65, 67}, {64, 77}, {57, 84}, {49, 83}, {46, 75}, {47, 67}}, true);
    const bool faded = highlight != kGeneral;
    QRadialGradient shade(px(53, 68), pxW(14));
    shade.setColorAt(0, faded ? QColor(0xe9, 0xc9, 0xcd) : QColor(0xd8, 0x7b, 0x86));
    shade.setColorAt(1, faded ? QColor(0xdd, 0xb5, 0xba) : QColor(0xb5, 0x55, 0x63));
    p.setPen(QPen(faded ? QColor(0xc7, 0x9c, 0xa2) : QColor(0x8c, 0x3a, 0x48), 1.5));
    p.setBrush(shade);
    p.drawPath(heart);
}

void drawLung(QPainter& p, const Lung& lung, Region highlight) {
    const Palette c = lungPalette(highlight);
    for (std::size_t i = 0; i < lung.lobes.size(); ++i) {
        // Neighbouring lobes in slightly different shades, so that each reads as a lobe.
        QColor fill = c.fill;
        if (i % 2 == 1) fill = fill.darker(107);
        QRadialGradient shade(lung.lobes[i].boundingRect().center(),
                              lung.lobes[i].boundingRect().width() * 0.8);
        shade.setColorAt(0, fill.lighter(108));
        shade.setColorAt(1, fill);
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawPath(lung.lobes[i]);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c.outline, pxW(0.45), Qt::SolidLine, Qt::RoundCap));
    p.save();
    p.setClipPath(lung.outline);
    for (const QPainterPath& f : lung.fissures)
        p.drawPath(f);
    p.restore();
    p.setPen(QPen(c.outline, pxW(0.55)));
    p.drawPath(lung.outline);
}

// A tube: the outline colour a little wider underneath, the fill on top.
void drawTubes(QPainter& p, const std::vector<Segment>& segments, Region highlight, bool outline) {
    for (const Segment& s : segments) {
        const Palette c = airwayPalette(s.region, highlight);
        const double w = pxW((s.width0 + s.width1) / 2);
        const double edge = s.depth >= 3 ? 0.8 : 1.6;
        QPen pen(outline ? c.outline : c.fill, outline ? w + 2 * edge : w, Qt::SolidLine,
                 Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.drawLine(px(s.from), px(s.to));
    }
}

void drawTrachealRings(QPainter& p, Region highlight) {
    const Palette c = airwayPalette(kMain, highlight);
    p.setPen(QPen(c.outline, 1.2));
    p.setBrush(Qt::NoBrush);
    for (double y = 8; y < 35; y += 2.6) {
        const QRectF ring(px(46.9, y - 0.5), px(53.1, y + 0.9));
        p.drawArc(ring, 200 * 16, 140 * 16);
    }
}

void drawLarynx(QPainter& p, Region highlight) {
    const Palette c = airwayPalette(kMain, highlight == kGeneral ? kGeneral : kMiddle);
    QPainterPath larynx = pathOf({{46, 0}, {54, 0}, {55, 3}, {53.5, 6}, {46.5, 6}, {45, 3}}, true);
    p.setPen(QPen(c.outline, 1.5));
    p.setBrush(c.fill.darker(103));
    p.drawPath(larynx);
}

void drawSideLetters(QPainter& p) {
    QFont f("DejaVu Sans");
    f.setPixelSize(kHeight / 28);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x7a, 0x86, 0x94));
    p.drawText(QRectF(px(3, 2), px(12, 7)), Qt::AlignLeft | Qt::AlignTop, "R");
    p.drawText(QRectF(px(88, 2), px(97, 7)), Qt::AlignRight | Qt::AlignTop, "L");
}

struct Scene {
    Lung right = rightLung();
    Lung left = leftLung();
    std::vector<Segment> large = largeAirways();
    std::vector<Segment> peripheral;
    Scene() { peripheral = peripheralAirways(large); }
};

QImage drawRegionPicture(const Scene& scene, Region highlight) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawBody(p);
    drawHeart(p, highlight);
    drawLung(p, scene.right, highlight);
    drawLung(p, scene.left, highlight);
    // The peripheral tree stays inside the lungs.
    p.save();
    p.setClipPath(scene.right.outline.united(scene.left.outline));
    drawTubes(p, scene.peripheral, highlight, true);
    drawTubes(p, scene.peripheral, highlight, false);
    p.restore();
    drawTubes(p, scene.large, highlight, true);
    drawLarynx(p, highlight);
    drawTubes(p, scene.large, highlight, false);
    drawTrachealRings(p, highlight);
    drawSideLetters(p);
    return image;
}

// Behind the airway drawing: the chest and the lungs' outlines, pale, so that the drawn tree
// and its red limited lobes stand out.
QImage drawBackground(const Scene& scene) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 0, kWidth, kHeight, QColor(0xfb, 0xfc, 0xfd));
    for (const Lung* lung : {&scene.right, &scene.left}) {
        p.setPen(QPen(QColor(0xe8, 0xcf, 0xd2), pxW(0.5)));
        p.setBrush(QColor(0xfb, 0xee, 0xef));
        p.drawPath(lung->outline);
        p.save();
        p.setClipPath(lung->outline);
        p.setPen(QPen(QColor(0xee, 0xda, 0xdc), pxW(0.35)));
        p.setBrush(Qt::NoBrush);
        for (const QPainterPath& f : lung->fissures)
            p.drawPath(f);
        p.restore();
    }
    drawSideLetters(p);
    QFont f("DejaVu Sans");
    f.setPixelSize(kHeight / 40);
    p.setFont(f);
    p.setPen(QColor(0x8a, 0x94, 0xa0));
    p.drawText(QRectF(px(2, 93), px(98, 99)), Qt::AlignCenter,
               "circle: lobe volume      red: flow limitation");
    return image;
}

// ---- the hot-spot table ----

struct HotSpot {
    int x, y; // whole percent
    Region group;
    std::string name;
};

int wholePercent(double v) {
    return static_cast<int>(std::nearbyint(v));
}

double distanceToSegment(QPointF p, const Segment& s) {
    // In pixels, so that "near" means the same across and down.
    const QPointF a = px(s.from), b = px(s.to), q = px(p);
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    const double t = len2 > 0 ? std::clamp(QPointF::dotProduct(q - a, ab) / len2, 0.0, 1.0) : 0;
    const QPointF d = q - (a + ab * t);
    return std::hypot(d.x(), d.y());
}

// Whether a pixel of a region picture shows the highlight (the orange of the highlighted
// airways and lungs, lighter or darker).
bool highlighted(const QImage& picture, QPointF percent) {
    const QPoint p = px(percent).toPoint();
    if (!picture.valid(p)) return false;
    const QColor c = picture.pixelColor(p);
    return c.red() > 200 && c.green() > 110 && c.green() < 200 && c.blue() < 110;
}

// Points along each airway, the branches of the peripheral tree, and lung tissue away from the
// large airways; each is kept only where its region's own picture shows the highlight, so that
// no point lies where another part was drawn over it. Rows go from the widest region to the
// narrowest: where hot-spots overlap, the later row wins, so an airway beats the lung around it.
std::vector<HotSpot> hotSpots(const Scene& scene, const std::vector<QImage>& pictures) {
    std::vector<HotSpot> out;
    auto add = [&](QPointF p, Region g, const std::string& name) {
        if (g != kGeneral && !highlighted(pictures[g], p)) return;
        const int x = wholePercent(p.x()), y = wholePercent(p.y());
        for (const HotSpot& h : out)
            if (h.x == x && h.y == y && h.group == g) return;
        out.push_back({x, y, g, name});
    };
    // The heart is no region of the model: the general view.
    for (QPointF p : {QPointF(53, 70), QPointF(56, 78)})
        add(p, kGeneral, "heart");

    const char* lobeNames[2][3] = {{"right upper lobe", "right middle lobe", "right lower lobe"},
                                   {"left upper lobe", "left lower lobe", ""}};
    for (int side = 0; side < 2; ++side) {
        const Lung& lung = side == 0 ? scene.right : scene.left;
        for (double y = 12; y <= 86; y += 6)
            for (double x = 6; x <= 94; x += 6) {
                const QPointF p(x, y);
                double nearest = 1e9;
                for (const Segment& s : scene.large)
                    nearest = std::min(nearest, distanceToSegment(p, s));
                if (nearest < pxW(4.5)) continue;
                for (std::size_t k = 0; k < lung.lobes.size(); ++k)
                    if (lung.lobes[k].contains(px(p))) add(p, kLungs, lobeNames[side][k]);
            }
    }
    for (const Segment& s : scene.peripheral)
        if (s.depth <= 3) add((s.from + s.to) / 2, kPeripheral, "peripheral bronchi");
    for (const Segment& s : scene.large) {
        if (s.region != kMiddle) continue;
        for (const double t : {0.4, 0.7, 1.0})
            add(s.from * (1 - t) + s.to * t, kMiddle, "lobar bronchus");
    }
    for (const Segment& s : scene.large) {
        if (s.region != kMain) continue;
        const double length = std::hypot(s.to.x() - s.from.x(), s.to.y() - s.from.y());
        const int steps = std::max(2, static_cast<int>(length / 5));
        for (int i = 0; i <= steps; ++i) {
            const double t = double(i) / steps;
            add(s.from * (1 - t) + s.to * t, kMain, s.from.y() < 10 ? "trachea" : "main bronchus");
        }
    }
    return out;
}

// ---- output ----

bool writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(bytes);
    return file.commit();
}

QByteArray jpeg(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90); // Qt's writer makes baseline (not progressive) streams
    return bytes;
}

int fail(const QString& message) {
    std::fprintf(stderr, "pulmora-make-pictures: %s\n", message.toUtf8().constData());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pulmora-make-pictures FOLDER\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
    const Scene scene;

    // Slot k shows region k: the general view, then each region highlighted.
    std::vector<QImage> pictures(6);
    for (int k = 1; k <= 5; ++k)
        pictures[k] = drawRegionPicture(scene, Region(k));
    for (int k = 1; k <= 5; ++k) {
        QByteArray bytes = jpeg(pictures[k]);
        if (bytes.size() < 100) return fail("the JPEG writer gave no picture");
        // The stored form: the first 100 bytes in reverse order.
        std::reverse(bytes.begin(), bytes.begin() + 100);
        const QString path = folder + QString("F%1.dat").arg(k, 3, 10, QChar('0'));
        if (!writeFile(path, bytes)) return fail("cannot write " + path);
    }
    if (!writeFile(folder + "tlo.dat", jpeg(drawBackground(scene))))
        return fail("cannot write " + folder + "tlo.dat");

    std::string table = "nr;x;y;group;region\n";
    int n = 0;
    for (const HotSpot& h : hotSpots(scene, pictures))
        table += std::to_string(++n) + ";" + std::to_string(h.x) + ";" + std::to_string(h.y) + ";" +
                 std::to_string(int(h.group)) + ";" + h.name + "\n";
    if (!writeFile(folder + "F000.dat", QByteArray::fromStdString(table)))
        return fail("cannot write " + folder + "F000.dat");
    return 0;
}
