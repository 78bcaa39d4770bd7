#pragma once
// The About box "Autorzy": the program's icon, name and version and its credits, scaled by the
// screen width; Shift + right click on the panel shows a hidden credit line instead.

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;

namespace pulmora {

// The program's icon drawn at the given size (the About box, the window icon).
QPixmap ProgramIconPixmap(QSize size);

class TAboutBox : public QDialog {
    Q_OBJECT

  public:
    // Laid out at its design size scaled by screenWidth / 1024.
    explicit TAboutBox(int screenWidth, QWidget* parent = nullptr);

    // The hidden credit display: acts only on a right press with Shift held.
    void Panel1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

    QFrame* Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr, *ProductName = nullptr, *Version = nullptr;
    QLabel *Authors = nullptr, *Comments = nullptr, *Label2 = nullptr;
    QPushButton* OKButton = nullptr;
    QLabel* PaintBox1 = nullptr; // the surface of the hidden credit display

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override; // FormHide: the next opening shows the panel
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int scaled(int designValue) const;
    int screenWidth_;
};

// The texts of the box.
QString AboutVersionText(); // what follows "Version: "
extern const char* const kAboutAuthors;
extern const char* const kAboutComments;
extern const char* const kAboutAcknowledgement;
extern const char* const kHiddenCreditLine;

} // namespace pulmora
