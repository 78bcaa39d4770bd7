#include "graphics/airway_picture.h"

#include <QColor>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/respiratory_model.h"
#include "core/rounding.h"
#include "core/simulation_record.h"
#include "toolkit/canvas.h"

namespace pulmora {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr double kPiD = std::numbers::pi;

// A picture whose diagonal is this long (about 559.4 pixels) is drawn at scale 1.
constexpr double kReferenceDiagonalSquared = 312925.0;
// The main bronchi leave the carina 60 degrees from the vertical (single precision).
constexpr float kMainBronchusAngle = 1.0471976f;
constexpr double kTracheaTop = 5;          // percent of the height
constexpr double kTracheaBottom = 42.5;    // top plus the trachea's 37.5 percent
constexpr double kMainBronchusLength = 12; // percent of the width (across) and height (down)
constexpr double kBulgeThreshold = 20;     // 100 / C above this (Ri below 0.25^4) bulges more

const QColor kLimitedRed(0xFF, 0x00, 0x00);

// A model value the drawing takes a root of and divides by: a damaged record can hold zero,
// a negative number, NaN or 1e30, which are drawn as the nearest size within [lo, hi].
double bounded(double v, double lo, double hi) {
    if (!(v >= lo)) return lo; // NaN too
    return v > hi ? hi : v;
}

// Whole pixels, clamped to a few picture sizes around the buffer so that sums stay in range.
struct PixelRounder {
    int limit;
    int operator()(double v) const { return roundToIntClamped(v, -limit, limit); }
};

PixelRounder rounderFor(int W, int H) {
    return {4 * (std::max(W, 1) + std::max(H, 1)) + 64};
}

// Lengths inside one lobe, which also bounds the turning below.
constexpr int kLobeLimit = 1 << 16;
int lobePixels(double v) {
    return roundToIntClamped(v, -kLobeLimit, kLobeLimit);
}

} // namespace

const std::array<float, kLobeCount> LobeAngle{0.2f * kPi, -0.29f * kPi, -1.2f * kPi, -0.87f * kPi,
                                              -0.64f * kPi};

AirwayValues liveAirwayValues(const ModelState& m) {
    AirwayValues v;
    for (int j = 0; j < kLobeCount; ++j)
        v.lobes[j] = {m.V[j], m.Rp[j], m.Rint[j], m.Lim[j] != 0};
    v.Rt = m.Rt2.current;
    v.RL = m.RL.current;
    v.RR = m.RR.current;
    return v;
}

AirwayValues recordAirwayValues(const SimulationRecord& r, int sample) {
    const int n = sample >= 0 && sample < kLobeTableRows ? sample : 0;
    AirwayValues v;
    for (int j = 0; j < kLobeCount; ++j)
        v.lobes[j] = {r.lobeVolume[n][j], r.lobePeripheralR[n][j], r.lobeIntermediateR[n][j],
                      r.lobeLimited[n][j] != 0};
    v.Rt = r.tracheaCoefficient;
    v.RL = r.leftBronchusR;
    v.RR = r.rightBronchusR;
    return v;
}

LobeShape lobeShape(const LobeInput& in) {
    LobeShape s;
    s.limited = in.limited;
    const int x0 = lobePixels(in.x), y0 = lobePixels(in.y);
    const int pw = in.penWidth;
    const int hw = pw / 2;
    const double k = in.k;
    const int w = lobePixels(in.rootFactor * k) + hw;     // half-width at the root
    const int m = lobePixels(double{in.q} * k) + hw;      // half-width of the mouth
    const int b = lobePixels(double{in.a} * k);           // circle radius
    const float d = static_cast<float>(double{in.c} * k); // bulge height, not rounded
    const int L = lobePixels(30 * k);                     // tube length
    const int e = lobePixels(10 * k);                     // neck length
    s.b = b;

    // The upper wall runs from the root through the bulge's peak to the mouth.
    const int top = y0 - w;
    const int peak = y0 - lobePixels(pw / 2.0 + double{d});
    const int mouth = y0 - m;
    // A nearly open bronchus (small Ri) bulges more strongly.
    const double g = in.c > kBulgeThreshold ? 0.3 : 0.2;
    const double amp = (peak - top + 0.4 * (top - mouth)) * g;

    std::array<PixelPoint, 25>& P = s.P;
    P[0] = {x0, top};
    for (int j = 0; j <= 4; ++j)
        P[1 + j] = {x0 + lobePixels(j * L / 9.0), top + lobePixels(j * (peak - top) / 4.0) +
                                                      lobePixels(std::sin(j * kPiD / 4) * amp)};
    for (int j = 0; j <= 5; ++j)
        P[5 + j] = {x0 + lobePixels((4 + j) * L / 9.0),
                    peak + lobePixels(j * (mouth - peak) / 5.0) +
                        lobePixels(std::sin(j * kPiD / 5) * amp)};
    P[11] = {x0 + L + e, mouth};
    // The lower wall mirrors the upper one about the bronchus's axis.
    P[12] = {x0, y0 + w};
    for (int i = 1; i <= 10; ++i)
        P[12 + i] = {P[i].x, 2 * y0 - P[i].y};
    P[23] = {x0 + L + e, y0 + m};
    // The circle passes through both mouth corners when it is wide enough to.
    const double bb = double{1.0} * b * b, mm = double{1.0} * m * m;
    P[24] = bb >= mm ? PixelPoint{x0 + L + e + lobePixels(std::sqrt(bb - mm)), y0}
                     : PixelPoint{x0 + L + e, y0};

    const double cosT = std::cos(double{in.theta}), sinT = std::sin(double{in.theta});
    for (PixelPoint& p : P) {
        const double dx = p.x - x0, dy = p.y - y0;
        p = {x0 + lobePixels(cosT * dx + sinT * dy), y0 + lobePixels(-sinT * dx + cosT * dy)};
    }
    return s;
}

AirwayShape airwayShape(const AirwayValues& v, int W, int H, int penWidth) {
    AirwayShape s;
    const PixelRounder round = rounderFor(W, H);
    auto PX = [&](double p) { return round(p * W / 100); };
    auto PY = [&](double p) { return round(p * H / 100); };

    // Sizes: the picture's scale, then each lobe's and airway's size from its values.
    const float scale = static_cast<float>(std::sqrt(double{1.0} * W * W + double{1.0} * H * H) /
                                           std::sqrt(kReferenceDiagonalSquared));
    const float k = static_cast<float>(0.8 * double{scale});
    constexpr double kRmin = 1e-6, kRmax = 1e6; // kPa s/l
    const float T = static_cast<float>(100 * std::pow(bounded(v.Rt, kRmin, kRmax), 0.25));
    const float GL = static_cast<float>(150 * std::pow(bounded(v.RL, kRmin, kRmax), 0.25));
    const float GR = static_cast<float>(150 * std::pow(bounded(v.RR, kRmin, kRmax), 0.25));
    const float t = 100 / T, rL = 100 / GL, rR = 100 / GR;

    const double alpha = kMainBronchusAngle;
    s.TL = {PX(50 - double{t}), PY(kTracheaTop)};
    s.TR = {PX(50 + double{t}), PY(kTracheaTop)};
    s.BL = {PX(50 - double{t}), PY(kTracheaBottom)};
    s.BR = {PX(50 + double{t}), PY(kTracheaBottom)};
    // A wider right bronchus moves the carina towards the left lung, the picture's right.
    s.C = {PX(50 + 2 * std::cos(alpha) * (double{rR} - rL)),
           PY(kTracheaBottom - t / std::tan(alpha) + std::cos(alpha) * (double{rR} + rL))};
    const int dx = round(std::sin(alpha) * kMainBronchusLength * W / 100);
    const int dy = round(std::cos(alpha) * kMainBronchusLength * H / 100);
    // Seen from the front: the left main bronchus runs down to the picture's right.
    s.OL = {s.BR.x + dx, s.BR.y + dy};
    s.IL = {s.C.x + dx, s.C.y + dy};
    s.OR = {s.BL.x - dx, s.BL.y + dy};
    s.IR = {s.C.x - dx, s.C.y + dy};

    const double wL = rL, wR = 2.0 * rR / 3;
    auto from = [&](PixelPoint p, double wf, int lobe) {
        const double th = LobeAngle[lobe];
        return std::array<double, 2>{double(round(p.x + wf * std::cos(th))),
                                     double(round(p.y + wf * std::sin(th)))};
    };
    std::array<std::array<double, 2>, kLobeCount> origin{};
    origin[0] = from(s.OL, wL, 0);
    origin[1] = from(s.IL, wL, 1);
    origin[2] = from(s.OR, wR, 2);
    origin[4] = from(s.IR, wR, 4);
    {
        // The middle lobe leaves halfway between the right upper and lower lobes' roots.
        const double c3 = std::cos(double{LobeAngle[2]}), s3 = std::sin(double{LobeAngle[2]});
        const double c5 = std::cos(double{LobeAngle[4]}), s5 = std::sin(double{LobeAngle[4]});
        const int qx = round(s.OR.x + 2 * wR * c3), qy = round(s.OR.y + 2 * wR * s3);
        const int px = round(s.IR.x - 2 * wR * c5), py = round(s.IR.y - 2 * wR * s5);
        origin[3] = {double(round((qx + px) / 2.0)), double(round((qy + py) / 2.0))};
    }

    for (int j = 0; j < kLobeCount; ++j) {
        const LobeDrawValues& lobe = v.lobes[j];
        const float A = static_cast<float>(0.5 * std::cbrt(bounded(lobe.V, 0, 1e3)));
        const float B = static_cast<float>(40 * std::pow(bounded(lobe.Rp, kRmin, kRmax), 0.25));
        const float C = static_cast<float>(20 * std::pow(bounded(lobe.Ri, kRmin, kRmax), 0.25));
        LobeInput& in = s.lobeInputs[j];
        in.x = origin[j][0];
        in.y = origin[j][1];
        in.theta = LobeAngle[j];
        in.rootFactor = j < 2 ? wL : wR;
        in.q = 100 / B;
        in.a = 100 * A;
        in.c = 100 / C;
        in.k = k;
        in.penWidth = penWidth;
        in.limited = lobe.limited;
        s.lobes[j] = lobeShape(in);
    }
    return s;
}

std::array<PixelPoint, 2> DrawLobe(Canvas& c, const LobeShape& lobe, int penWidth,
                                   const QColor& lineColour) {
    const auto& P = lobe.P;
    c.setPenStyle(PenStyle::Solid);
    c.setPenWidth(penWidth);
    // Limitation shows on the collapsible middle of each wall, not at its ends.
    auto wall = [&](int first, int redFrom, int redTo) {
        c.moveTo(P[first].x, P[first].y);
        for (int i = first + 1; i <= first + 11; ++i) {
            c.setPenColor(lobe.limited && i >= redFrom && i <= redTo ? kLimitedRed : lineColour);
            c.lineTo(P[i].x, P[i].y);
        }
    };
    wall(0, 2, 10);
    wall(12, 14, 22);
    // The far side of the circle, from the lower mouth corner round to the upper one.
    c.setPenColor(lineColour);
    const PixelPoint o = P[24];
    c.arc(o.x - lobe.b, o.y - lobe.b, o.x + lobe.b, o.y + lobe.b, P[23].x, P[23].y, P[11].x,
          P[11].y);
    return {P[0], P[12]};
}

void DrawAirwayPicture(Canvas& target, int left, int top, int W, int H, int penWidth,
                       const QColor& lineColour, const AirwayValues& values, QImage& pictureBuffer,
                       const QImage& background) {
    if (pictureBuffer.isNull()) return;
    Canvas c(pictureBuffer);
    const int bw = pictureBuffer.width(), bh = pictureBuffer.height();
    if (background.isNull()) {
        c.setBrushColor(Qt::white);
        c.fillRect(0, 0, bw, bh);
    } else {
        c.stretchDraw(0, 0, bw, bh, background);
    }
    const AirwayShape s = airwayShape(values, bw, bh, penWidth);
    std::array<std::array<PixelPoint, 2>, kLobeCount> ends{};
    for (int j = 0; j < kLobeCount; ++j)
        ends[j] = DrawLobe(c, s.lobes[j], penWidth, lineColour);

    c.setPenColor(lineColour);
    c.setPenWidth(penWidth);
    c.setPenStyle(PenStyle::Solid);
    auto path = [&](std::initializer_list<PixelPoint> points) {
        const PixelPoint* p = points.begin();
        c.moveTo(p->x, p->y);
        for (++p; p != points.end(); ++p)
            c.lineTo(p->x, p->y);
    };
    path({s.TL, s.BL, s.OR});
    path({s.TR, s.BR, s.OL});
    path({s.IL, s.C, s.IR});
    path({s.OL, ends[0][0]});
    path({ends[0][1], ends[1][0]});
    path({ends[1][1], s.IL});
    path({s.OR, ends[2][0]});
    path({ends[2][1], ends[3][0]});
    path({ends[3][1], ends[4][0]});
    path({ends[4][1], s.IR});

    target.stretchDraw(left, top, left + W, top + H, pictureBuffer);
}

void reverseHead(std::uint8_t* bytes, std::size_t size) {
    std::reverse(bytes, bytes + std::min<std::size_t>(size, 100));
}

bool ReverseFileHead(const QString& source, const QString& target) {
    if (!QFile::exists(source)) return true;
    QFile::remove(target);
    if (!QFile::copy(source, target)) return false;
    QFile file(target);
    // A copy keeps the source's permissions: a read-only picture gives a read-only copy.
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
    if (!file.open(QIODevice::ReadWrite)) return false;
    QByteArray head = file.read(100);
    reverseHead(reinterpret_cast<std::uint8_t*>(head.data()),
                static_cast<std::size_t>(head.size()));
    return file.seek(0) && file.write(head) == head.size();
}

QString LoadPictureResources(const QString& folder, QSize bufferSize, PictureResources& pictures) {
    for (QImage& slot : pictures.PictureTable)
        slot = QImage();
    const QString temp = folder + "datfiles1/temp.dat";
    QString error;
    for (int k = 1; k <= kRegionPictures && error.isEmpty(); ++k) {
        const QString stored = folder + QString("datfiles1/F%1.dat").arg(k, 3, 10, QChar('0'));
        QFile::remove(temp); // a scratch copy left by an earlier crash must not be decoded
        if (!ReverseFileHead(stored, temp)) {
            error = QString("Cannot restore the picture \"%1\".").arg(stored);
        } else if (QImage image(temp, "JPG"); image.isNull()) {
            error = QString("The picture \"%1\" is not a valid JPEG picture.").arg(stored);
        } else {
            pictures.PictureTable[k] = image.convertToFormat(QImage::Format_RGB32);
        }
    }
    QFile::remove(temp);
    if (!error.isEmpty()) return error;

    const QString background = folder + "datfiles1/tlo.dat";
    pictures.BackgroundPicture = QImage(background, "JPG");
    if (pictures.BackgroundPicture.isNull())
        return QString("The picture \"%1\" is missing or not a valid JPEG picture.")
            .arg(background);
    pictures.PictureBuffer = QImage(bufferSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    pictures.PictureBuffer.fill(Qt::white);
    // The airway drawing stretches the background into the buffer for every frame of a run;
    // scaled once to the buffer's size, that stretch is a plain copy.
    pictures.BackgroundPicture =
        pictures.BackgroundPicture.scaled(pictures.PictureBuffer.size(), Qt::IgnoreAspectRatio,
                                          Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    return {};
}

} // namespace pulmora
