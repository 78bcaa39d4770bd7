#pragma once
// The lung picture's resources (the region pictures, the background, the off-screen buffer) and
// the schematic airway tree drawn during a run and in the animation: the trachea, the two main
// bronchi and, per lobe, a lobar bronchus whose collapsible middle stretch bulges with its
// resistance and turns red while the lobe is flow-limited, ending in a circle whose size follows
// the lobe volume. The geometry is plain arithmetic on whole pixels (testable without Qt); the
// drawing composes it in the picture buffer and stretches that onto the window in one go.

#include <QImage>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/parameter_set.h"

class QColor;

namespace pulmora {

class Canvas;
struct ModelState;
struct SimulationRecord;

struct PixelPoint {
    int x = 0; // pixels from the left of the picture buffer
    int y = 0; // pixels from the top, pointing down
    bool operator==(const PixelPoint&) const = default;
};

// What the drawing reads of one lobe.
struct LobeDrawValues {
    double V = 0;         // lobe volume, l
    double Rp = 0;        // peripheral airway resistance, kPa s/l
    double Ri = 0;        // intermediate bronchus resistance, kPa s/l
    bool limited = false; // flow limitation is active in the lobe
};

// The values of one airway drawing: the live model's or one sample of a stored run.
struct AirwayValues {
    std::array<LobeDrawValues, kLobeCount> lobes{}; // lobes 1 ... 5 at [0 ... 4]
    double Rt = 0;                                  // tracheal turbulent coefficient, kPa s^2/l^2
    double RL = 0;                                  // left main bronchus resistance, kPa s/l
    double RR = 0;                                  // right main bronchus resistance, kPa s/l
};

AirwayValues liveAirwayValues(const ModelState& model);
// Row `sample` (1 ... 1500) of the record's lobe tables with its single airway values; a row
// outside the table reads as row 0.
AirwayValues recordAirwayValues(const SimulationRecord& record, int sample);

// Direction of each lobe's bronchus, radians, in single precision: 0.2π, −0.29π, −1.2π,
// −0.87π, −0.64π for lobes 1 ... 5.
extern const std::array<float, kLobeCount> LobeAngle;

// The arguments of one DrawLobe call.
struct LobeInput {
    double x = 0, y = 0;   // origin of the bronchus, pixels
    float theta = 0;       // direction, radians; positive turns counter-clockwise on screen
    double rootFactor = 0; // half-width of the bronchus at its root, percent used as pixels
    float q = 0;           // 100 / B: the mouth's size, shrinking as Rp grows
    float a = 0;           // 100 × A: the circle's size, growing with the lobe volume
    float c = 0;           // 100 / C: the bulge, growing as Ri falls
    float k = 1;           // lobe scale
    int penWidth = 2;
    bool limited = false;
};

// The 25 points of a lobe after turning: P0 ... P11 the upper wall and the mouth's upper corner,
// P12 ... P23 the lower wall, P24 the circle's centre; b the circle's radius.
struct LobeShape {
    std::array<PixelPoint, 25> P{};
    int b = 0;
    bool limited = false;
};

LobeShape lobeShape(const LobeInput& in);

// Everything the airway drawing places, in pixels of a W × H buffer.
struct AirwayShape {
    PixelPoint TL, TR, BL, BR; // trachea corners
    PixelPoint C;              // carina
    PixelPoint OL, IL, OR, IR; // outer and inner ends of the left and right main bronchi
    std::array<LobeInput, kLobeCount> lobeInputs{};
    std::array<LobeShape, kLobeCount> lobes{};
};

// The geometry for a W × H buffer and a pen width. Values that are not positive and finite (a
// damaged file, an empty row) are drawn as the smallest or largest size they approach, and
// every pixel is clamped to a few picture sizes around the buffer.
AirwayShape airwayShape(const AirwayValues& values, int W, int H, int penWidth);

// Draws one lobe with its wall colours and the circle's far arc; returns P0 and P12.
std::array<PixelPoint, 2> DrawLobe(Canvas& buffer, const LobeShape& lobe, int penWidth,
                                   const QColor& lineColour);

// Composes the airway drawing in `pictureBuffer` over `background` and stretches it onto
// `target` at (left, top, left + W, top + H). The buffer keeps its size; an empty buffer draws
// nothing.
void DrawAirwayPicture(Canvas& target, int left, int top, int W, int H, int penWidth,
                       const QColor& lineColour, const AirwayValues& values, QImage& pictureBuffer,
                       const QImage& background);

// The first 100 bytes (or all of a shorter stream) in reverse order, in place: turns a stored
// picture into a plain JPEG stream and back.
void reverseHead(std::uint8_t* bytes, std::size_t size);

// Copies `source` to `target` (replacing it) with the first 100 bytes reversed. A missing source
// does nothing; returns false, with the target as the failed step left it, when the copy or the
// rewrite fails.
bool ReverseFileHead(const QString& source, const QString& target);

// The picture resources, created at start-up and held until the window closes.
struct PictureResources {
    std::array<QImage, 12> PictureTable; // slots 1 ... 11 ([0] unused); 6 ... 11 stay empty
    QImage BackgroundPicture;            // behind the airway drawing
    QImage PictureBuffer;                // the airway drawing is composed here
};
constexpr int kPictureSlots = 11;
constexpr int kRegionPictures = 5; // slots 1 ... 5 come from "datfiles1/F001.dat" ... "F005.dat"

// Decodes the region pictures from their stored form through the scratch file
// "datfiles1/temp.dat" (deleted afterwards, also after a failure, and also when an earlier crash
// left it behind), then the background "datfiles1/tlo.dat", and makes the buffer
// `bufferSize` big. Returns an empty text, or the message of the first failure; the pictures
// decoded before it stay.
QString LoadPictureResources(const QString& programFolder, QSize bufferSize,
                             PictureResources& pictures);

} // namespace pulmora
