#include "app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegion>
#include <QTextEdit>
#include <QTimer>

#include "app/help_window.h"
#include "app/image_box.h"
#include "files/file_commands.h"
#include "files/simulation_file.h"
#include "graphics/flow_volume_plot.h"
#include "graphics/plot_geometry.h"
#include "results/comments.h"
#include "toolkit/canvas.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"
#include "toolkit/track_bar.h"

namespace pulmora {

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kDarkGrey(0x80, 0x80, 0x80);
const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kLime(0x00, 0xFF, 0x00);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kLightGrey(0xB0, 0xB0, 0xB0);
const QColor kMenuColour(0xF0, 0xF0, 0xF0);
const QColor kTooltipYellow(0xFF, 0xFF, 0xE1);

// The window font: the classic "MS Sans Serif" 11 pixels, or the nearest face we have.
QFont windowFont(int pixels) {
    QFont f;
    f.setFamilies({"MS Sans Serif", "Liberation Sans", "DejaVu Sans"});
    f.setPixelSize(pixels < 6 ? 6 : pixels);
    return f;
}

struct LabelDesign {
    const char* name;
    const char* text;
    const char* parent; // object name of the parent panel
    int pixels;         // font height; 0 for the window font
    bool bold;
};

// Every label of the window, with its design text, parent and font.
constexpr LabelDesign kLabels[] = {
    {"Label26", "Data from file:  Standard", "Panel6", 13, false},
    {"Label56", "Both lungs", "Panel6", 19, true},
    {"Label53", "expiration deepness", "Panel6", 16, false},
    {"Label54", "25%", "Panel6", 0, false},
    {"Label55", "400 %", "Panel6", 0, false},
    {"Label5", "MAIN", "Panel5", 0, true},
    {"Label11", "MIDDLE", "Panel5", 0, true},
    {"Label16", "PERIPHERAL", "Panel5", 0, true},
    {"Label21", "LUNGS", "Panel7", 0, true},
    {"Label24", "R", "Panel1", 0, false},
    {"Label33", "50%", "Panel1", 0, false},
    {"Label1", "100%", "Panel1", 0, false},
    {"Label2", "200%", "Panel1", 0, false},
    {"Label3", "400%", "Panel1", 0, false},
    {"Label4", "800%", "Panel1", 0, false},
    {"Label25", "VDc", "Panel2", 0, false},
    {"Label40", "50%", "Panel2", 0, false},
    {"Label41", "100%", "Panel2", 0, false},
    {"Label42", "150%", "Panel2", 0, false},
    {"Label43", "200%", "Panel2", 0, false},
    {"Label44", "250%", "Panel2", 0, false},
    {"Label28", " R(1/lumen)", "Panel2", 0, false},
    {"Label7", "100 (norm)", "Panel2", 0, false},
    {"Label8", "200 (mild)", "Panel2", 0, false},
    {"Label9", "400 (moder.)", "Panel2", 0, false},
    {"Label10", "800 (heavy)", "Panel2", 0, false},
    {"Label51", "1600 (v. heavy)", "Panel2", 0, false},
    {"Label27", "Stiff", "Panel2", 0, false},
    {"Label29", " R(1/lumen)", "Panel3", 0, false},
    {"Label34", "50%", "Panel3", 0, false},
    {"Label12", "100%", "Panel3", 0, false},
    {"Label13", "200%", "Panel3", 0, false},
    {"Label14", "400%", "Panel3", 0, false},
    {"Label15", "800%", "Panel3", 0, false},
    {"Label30", "CCC", "Panel3", 0, false},
    {"Label45", "50%", "Panel3", 0, false},
    {"Label46", "100%", "Panel3", 0, false},
    {"Label47", "150%", "Panel3", 0, false},
    {"Label48", "200%", "Panel3", 0, false},
    {"Label49", "250%", "Panel3", 0, false},
    {"Label31", "Size", "Panel4", 0, false},
    {"Label32", "Cm", "Panel4", 0, false},
    {"Label36", "50%", "Panel4", 0, false},
    {"Label37", "75%", "Panel4", 0, false},
    {"Label18", "100%", "Panel4", 0, false},
    {"Label38", "125%", "Panel4", 0, false},
    {"Label39", "150%", "Panel4", 0, false},
};

// Title label of each slider, TrackBar1 ... 8.
constexpr const char* kTrackTitles[9] = {nullptr,   "Label24", "Label25", "Label28", "Label27",
                                         "Label29", "Label30", "Label31", "Label32"};

// Scale labels of each slider, from the top (nullptr where there is none).
constexpr const char* kScaleLabels[9][6] = {
    {},
    {"Label33", "Label1", "Label2", "Label3", "Label4"},
    {"Label40", "Label41", "Label42", "Label43", "Label44"},
    {nullptr, "Label7", "Label8", "Label9", "Label10", "Label51"},
    {},
    {"Label34", "Label12", "Label13", "Label14", "Label15"},
    {"Label45", "Label46", "Label47", "Label48", "Label49"},
    {"Label36", "Label37", "Label18", "Label38", "Label39"},
    {},
};

struct SliderDesign {
    const char* panel;
    int maximum;
    int initial;
    TickMarks ticks;
};
constexpr SliderDesign kSliders[9] = {
    {},
    {"Panel1", 500, 200, TickMarks::BottomRight},
    {"Panel2", 500, 200, TickMarks::BottomRight},
    {"Panel2", 600, 200, TickMarks::BottomRight},
    {"Panel2", 500, 200, TickMarks::None},
    {"Panel3", 500, 200, TickMarks::TopLeft},
    {"Panel3", 500, 200, TickMarks::BottomRight},
    {"Panel4", 500, 300, TickMarks::BottomRight},
    {"Panel4", 500, 300, TickMarks::TopLeft},
};

// Right-click help: which page each control opens. Controls not named here open H0000.
struct HelpGroup {
    const char* page;
    std::initializer_list<const char*> controls;
};
const HelpGroup kHelpGroups[] = {
    {"H0001.rtf",
     {"Panel1", "Label5", "Label24", "Label33", "Label1", "Label2", "Label3", "Label4", "Label25",
      "Label40", "Label41", "Label42", "Label43", "Label44"}},
    {"H0002.rtf",
     {"Panel2", "Label11", "Label27", "Label28", "Label7", "Label8", "Label9", "Label10",
      "Label51"}},
    {"H0003.rtf",
     {"Panel3", "Label16", "Label29", "Label30", "Label34", "Label12", "Label13", "Label14",
      "Label15", "Label45", "Label46", "Label47", "Label48", "Label49"}},
    {"H0004.rtf",
     {"Panel4", "Label31", "Label32", "Label36", "Label37", "Label18", "Label38", "Label39"}},
    {"H0006.rtf", {"StringGrid1"}},
};

QFrame* makePanel(QWidget* parent, const char* name, const QColor& colour) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, colour);
    panel->setPalette(pal);
    return panel;
}

void place(QWidget* w, const LayoutRect& r) { w->setGeometry(r.left, r.top, r.width, r.height); }
void placeAt(QWidget* w, int left, int top) { w->move(left, top); }

} // namespace

TForm1::TForm1(const QString& programFolder, ScreenSize screen, QWidget* parent)
    : QMainWindow(parent), state_(std::make_unique<ProgramState>()) {
    state_->ProgramFolder = programFolder.endsWith('/') ? programFolder : programFolder + '/';
    decimalSeparator_ = QLocale().decimalPoint().at(0).toLatin1();
    if (decimalSeparator_ == 0) decimalSeparator_ = '.';
    setObjectName("TForm1");
    setWindowTitle("Pulmora");
    // The menus first, so that every area can connect its items with its controls.
    createMenus();
    createControls();
    applyLayout(screen);
    startUp();
}

TForm1::~TForm1() {
    // The picture's event filter calls back into this window: it must not outlive it while
    // the base classes tear down the controls.
    delete pictureFilter_;
    pictureFilter_ = nullptr;
}

QLabel* TForm1::label(const char* name) const {
    const auto it = labels_.find(name);
    return it == labels_.end() ? nullptr : it->second;
}

QAction* TForm1::menuItem(const char* name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void TForm1::createControls() {
    // Each area connects its own handlers at the end (see the marked blocks below).
    client = new QWidget(this);
    client->setObjectName("client");
    client->setAutoFillBackground(true);
    QPalette pal = client->palette();
    pal.setColor(QPalette::Window, kSilver);
    client->setPalette(pal);
    client->setFont(windowFont(11));
    setCentralWidget(client);

    Image1 = new ImageBox(client);
    Image1->setObjectName("Image1");
    Image1->setCursor(Qt::PointingHandCursor);
    Image2 = new ImageBox(client);
    Image2->setObjectName("Image2");
    Image3 = new ImageBox(client);
    Image3->setObjectName("Image3");

    StringGrid1 = new StringGrid(client);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setColCount(5);
    StringGrid1->setRowCount(16);
    StringGrid1->setFixedRows(1);
    StringGrid1->setColor(kSilver);
    StringGrid1->setFixedColor(kAqua);
    StringGrid1->setVerticalScrollBar(true);
    StringGrid1->onDrawCell = [this](QPainter& p, int c, int r, const QRect& rect) {
        drawIndicesCell(p, c, r, rect);
    };

    // The frames, bottom first so that the panels lie over them.
    Panel6 = makePanel(client, "Panel6", kDarkGrey);
    Panel6->setFrameShape(QFrame::NoFrame);
    Panel5 = makePanel(client, "Panel5", kSilver);
    Panel7 = makePanel(client, "Panel7", kSilver);
    Panel1 = makePanel(client, "Panel1", kSilver);
    Panel2 = makePanel(client, "Panel2", kSilver);
    Panel3 = makePanel(client, "Panel3", kSilver);
    Panel4 = makePanel(client, "Panel4", kSilver);
    const std::map<QString, QWidget*> parents = {
        {"Panel1", Panel1}, {"Panel2", Panel2}, {"Panel3", Panel3}, {"Panel4", Panel4},
        {"Panel5", Panel5}, {"Panel6", Panel6}, {"Panel7", Panel7}};

    for (const LabelDesign& d : kLabels) {
        auto* l = new QLabel(d.text, parents.at(d.parent));
        l->setObjectName(d.name);
        QFont f = windowFont(d.pixels ? d.pixels : 11);
        f.setBold(d.bold);
        l->setFont(f);
        // A disabled scale stays readable: grey, as the classic toolkit draws it.
        QPalette lp = l->palette();
        lp.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x70, 0x70, 0x70));
        l->setPalette(lp);
        labels_[d.name] = l;
    }
    auto colourLabel = [](QLabel* l, const QColor& c) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, c);
        l->setPalette(p);
    };
    colourLabel(label("Label26"), kLime);
    colourLabel(label("Label56"), kYellow);
    label("Label27")->hide();

    for (int k = 1; k <= 8; ++k) {
        const SliderDesign& d = kSliders[k];
        auto* t = new TrackBar(Qt::Vertical, parents.at(d.panel));
        t->setObjectName(QString("TrackBar%1").arg(k));
        t->setRange(100, d.maximum);
        t->setPosition(d.initial);
        t->setFrequency(100);
        t->setTickMarks(d.ticks);
        t->setThumbLength(15);
        TrackBars[k] = t;
    }
    TrackBars[4]->hide();
    TrackBars[4]->setEnabled(false);
    for (int k = 5; k <= 8; ++k) TrackBars[k]->setEnabled(false);

    auto button = [this](const char* name, const char* caption, QWidget* parent) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(name);
        return b;
    };
    Button2 = button("Button2", "START", client);
    Button1 = button("Button1", "reset", client);
    Button11 = button("Button11", "reset all", client);
    Button9 = button("Button9", "pause", client);
    Button10 = button("Button10", "3", client);
    Button8 = button("Button8", "animation", client);
    GroupBox1 = new QGroupBox("Selected row", client);
    GroupBox1->setObjectName("GroupBox1");
    Button3 = button("Button3", "Delete row", GroupBox1);
    Button6 = button("Button6", "Use as ref.", GroupBox1);
    Button12 = button("Button12", "Settings", GroupBox1);

    auto historyGrid = [this](const char* name, int columns) {
        auto* g = new StringGrid(client);
        g->setObjectName(name);
        g->setColCount(columns);
        g->setRowCount(5);
        g->setFixedRows(0);
        g->setColor(kMenuColour);
        g->setVerticalScrollBar(false);
        g->onDrawCell = [this, g](QPainter& p, int c, int r, const QRect& rect) {
            drawHistoryCell(p, *g, c, r, rect);
        };
        g->onMouseDown = [this, g](Qt::MouseButton b, QPoint pos) { historyMouseDown(g, b, pos); };
        return g;
    };
    StringGrid2 = historyGrid("StringGrid2", 11);
    StringGrid3 = historyGrid("StringGrid3", 1);

    auto* t9 = new TrackBar(Qt::Horizontal, client);
    t9->setObjectName("TrackBar9");
    t9->setRange(0, 400);
    t9->setPosition(200);
    t9->setFrequency(100);
    t9->setTickMarks(TickMarks::BottomRight);
    t9->onContextMenu = [this](QPoint) { ShowHelpPage("helpfiles/H0008.rtf"); };
    TrackBars[9] = t9;

    RichEdit1 = new QTextEdit(client);
    RichEdit1->setObjectName("RichEdit1");
    RichEdit1->setReadOnly(true);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    RichEdit1->setAcceptRichText(false);
    {
        QPalette p = RichEdit1->palette();
        p.setColor(QPalette::Base, kSilver);
        RichEdit1->setPalette(p);
        RichEdit1->setFont(windowFont(16));
    }

    Memo1 = new QLabel(client);
    Memo1->setObjectName("Memo1");
    Memo1->setAutoFillBackground(true);
    {
        QPalette p = Memo1->palette();
        p.setColor(QPalette::Window, kYellow);
        Memo1->setPalette(p);
        Memo1->setFont(windowFont(16));
    }
    Memo1->hide();
    tparm = new StringGrid(client);
    tparm->setObjectName("tparm");
    tparm->setColCount(5);
    tparm->setRowCount(40);
    tparm->hide();
    ComboBox1 = new QComboBox(client);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(2000);

    Form4 = new TForm4(this);

    // Right-click help on the controls served by the shared handler.
    for (QWidget* w : std::initializer_list<QWidget*>{Panel1, Panel2, Panel3, Panel4, Panel5, Panel7,
                                                      Image2, Image3, Button2, StringGrid1})
        w->installEventFilter(this);
    for (auto& [name, l] : labels_) l->installEventFilter(this);
    // ---- connect: parameter editing ----
    for (int k = 1; k <= 8; ++k)
        TrackBars[k]->onChange = [this, k](int position) { SliderChanged(k - 1, position); };
    TrackBars[9]->onChange = [this](int position) { OptionSliderChanged(position); };
    StringGrid2->onSelectCell = [this](int, int row) { SelectRun(row); };
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button11, &QPushButton::clicked, this, &TForm1::Button11Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::DeleteSelectedRunCommand);
    connect(Button6, &QPushButton::clicked, this, &TForm1::UseSelectedRunAsReference);
    // ---- end connect: parameter editing ----
    // ---- connect: lung picture ----
    createLungPicture();
    // ---- end connect: lung picture ----
    // ---- connect: files ----
    connect(Button12, &QPushButton::clicked, this, &TForm1::Button12Click);
    // ---- end connect: files ----
}

QAction* TForm1::addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    actions_[name] = a;
    return a;
}

void TForm1::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    QMenu* file = bar->addMenu("File");
    file->setObjectName("File1");
    addItem(file, "Open1", "Open");
    addItem(file, "Save1", "Save");
    addItem(file, "Saveas1", "Save as");
    // ---- menu: export ----
    connect(addItem(file, "ExportRunCsv1", "Export run as CSV…"), &QAction::triggered, this,
            &TForm1::ExportRunCsv1Click);
    connect(addItem(file, "SavePlotsImage1", "Save plots as image…"), &QAction::triggered, this,
            &TForm1::SavePlotsImage1Click);
    // ---- end menu: export ----
    QAction* refDefault = bar->addAction("ref.Default");
    refDefault->setObjectName("Reset1");
    actions_["Reset1"] = refDefault;

    QMenu* variable = bar->addMenu("Variable");
    variable->setObjectName("Variable1");
    auto* variables = new QActionGroup(this);
    const char* variableItems[][2] = {{"wypywcakowity1", "total airflow"},
                                      {"wypywzpuc1", "airflow from lungs"},
                                      {"gdysamoograniczanie1", "airflow when limitation"},
                                      {"oprperyferyjny1", "intermediate bronchi resistance"},
                                      {"oprposrednichlobesel1", "peripheral bronchi resistance"},
                                      {"ci1", "intrathorax pressure"}};
    for (const auto& item : variableItems) {
        QAction* a = addItem(variable, item[0], item[1]);
        a->setCheckable(true);
        variables->addAction(a);
    }
    menuItem("wypywcakowity1")->setChecked(true);
    connect(addItem(variable, "help3", "help"), &QAction::triggered, this,
            [this] { ShowHelpPage("helpfiles/H0007.rtf"); });

    QMenu* lobes = bar->addMenu("Lobes");
    lobes->setObjectName("Lobes1");
    auto* parts = new QActionGroup(this);
    const char* partItems[][2] = {{"Bothlungs1", "Both lungs"},       {"Leftlung1", "Left lung"},
                                  {"Rightlung1", "Right lung"},       {nullptr, nullptr},
                                  {"Leftupperlobe1", "Left upper lobe"},
                                  {"Leftlowerlobe1", "Left lower lobe"},
                                  {"Rightupperlobe1", "Right upper lobe"},
                                  {"Rightmiddlelobe1", "Right middle lobe"},
                                  {"Rightlowerlobe1", "Right lower lobe"}};
    for (const auto& item : partItems) {
        if (!item[0]) {
            lobes->addSeparator();
            continue;
        }
        QAction* a = addItem(lobes, item[0], item[1]);
        a->setCheckable(true);
        parts->addAction(a);
    }
    menuItem("Bothlungs1")->setChecked(true);
    QMenu* resection = lobes->addMenu("Resekcja płatów");
    resection->setObjectName("Resekcjaplatow1");
    for (const char* item : {"Upper left", "Lower left", "Upper right", "Middle right", "Lower right"})
        resection->addAction(item)->setEnabled(false);
    resection->setEnabled(false);
    addItem(lobes, "parametry2", "Settings");

    QMenu* options = bar->addMenu("Options");
    options->setObjectName("Options1");
    auto* optionGroup = new QActionGroup(this);
    const char* optionItems[][2] = {{"N11", "expiration deepness"},
                                    {"N21", "expiration rapidity"},
                                    {"N31", "inspiration deepness"},
                                    {"N41", "end expiration airflow"},
                                    {"N51", "mediastinum compliance"},
                                    {"N61", "scoliosis (left%right)"}};
    for (const auto& item : optionItems) {
        QAction* a = addItem(options, item[0], item[1]);
        a->setCheckable(true);
        optionGroup->addAction(a);
    }
    menuItem("N11")->setChecked(true);
    menuItem("N51")->setEnabled(false);
    menuItem("N61")->setEnabled(false);
    connect(addItem(options, "help4", "help"), &QAction::triggered, this,
            [this] { ShowHelpPage("helpfiles/H0008.rtf"); });

    auto command = [&](const char* name, const char* caption) {
        QAction* a = bar->addAction(caption);
        a->setObjectName(name);
        actions_[name] = a;
        return a;
    };
    connect(command("Help2", "Help"), &QAction::triggered, this,
            [this] { ShowHelpPage("helpfiles/H0000.rtf"); });
    command("About1", "About");
    connect(command("Quit1", "Quit"), &QAction::triggered, this, &QWidget::close);

    // The menus "Lobes" and "Options" act on the parameter set.
    const std::pair<const char*, int> lungParts[] = {
        {"Bothlungs1", 0},      {"Leftlung1", -2},       {"Rightlung1", -1},
        {"Leftupperlobe1", 1},  {"Leftlowerlobe1", 2},   {"Rightupperlobe1", 3},
        {"Rightmiddlelobe1", 4}, {"Rightlowerlobe1", 5}};
    for (const auto& [name, code] : lungParts)
        connect(menuItem(name), &QAction::triggered, this, [this, code = code] { LungPartMenuItem(code); });
    const char* optionNames[] = {"N11", "N21", "N31", "N41", "N51", "N61"};
    for (int i = 0; i < 6; ++i)
        connect(menuItem(optionNames[i]), &QAction::triggered, this, [this, i] { OptionMenuItem(i + 1); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    connect(addItem(PopupMenu1, "DE1", "Delete selected row"), &QAction::triggered, this,
            &TForm1::DeleteSelectedRunCommand);
    connect(addItem(PopupMenu1, "Useasref1", "Use as reference"), &QAction::triggered, this,
            &TForm1::UseSelectedRunAsReference);
    addItem(PopupMenu1, "parametry1", "Settins");
    connect(addItem(PopupMenu1, "HELP1", "Pomoc"), &QAction::triggered, this,
            [this] { ShowHelpPage("helpfiles/H0005.rtf"); });
}

void TForm1::applyLayout(ScreenSize screen) {
    // Scale the design fonts by the screen width, then measure the labels in them.
    const int M = screen.width;
    client->setFont(windowFont(scaleByScreen(11, M)));
    for (const LabelDesign& d : kLabels) {
        QLabel* l = label(d.name);
        QFont f = windowFont(scaleByScreen(d.pixels ? d.pixels : 11, M));
        f.setBold(d.bold);
        l->setFont(f);
        l->adjustSize();
    }
    RichEdit1->setFont(windowFont(scaleByScreen(16, M)));

    LayoutInput in;
    in.screenWidth = screen.width;
    in.screenHeight = screen.height;
    // The client area of the maximized window: the screen below the menu bar.
    in.clientWidth = screen.width;
    in.clientHeight = screen.height - menuBar()->sizeHint().height();
    in.comboHeight = ComboBox1->sizeHint().height();
    auto size = [this](const char* name) {
        const QLabel* l = label(name);
        return LayoutSize{l->width(), l->height()};
    };
    in.label11 = size("Label11");
    in.label16 = size("Label16");
    in.label21 = size("Label21");
    in.label30 = size("Label30");
    in.label54 = size("Label54");
    in.label55 = size("Label55");
    for (int k = 1; k <= 8; ++k) in.trackTitle[k] = size(kTrackTitles[k]);
    for (int k = 1; k <= 8; ++k)
        for (int i = 0; i < 6; ++i)
            if (kScaleLabels[k][i]) in.scaleLabels[k][i] = size(kScaleLabels[k][i]);
    in.trackBar9Height = scaleByScreen(33, M);
    layout_ = LayoutMainWindow(in);
    const MainWindowLayout& L = layout_;

    resize(in.clientWidth, screen.height);
    client->resize(in.clientWidth, in.clientHeight);
    place(Image1, L.Image1);
    place(Image2, L.Image2);
    place(Image3, L.Image3);
    Image1->resetPicture(Image1->size());
    Image2->resetPicture(Image2->size());
    Image3->resetPicture(Image3->size());
    place(Panel6, L.Panel6);
    place(Panel5, L.Panel5);
    place(Panel7, L.Panel7);
    place(Panel1, L.Panel1);
    place(Panel2, L.Panel2);
    place(Panel3, L.Panel3);
    place(Panel4, L.Panel4);
    // The frame is neither drawn nor clickable outside its rounded corners.
    {
        QPainterPath path;
        path.addRoundedRect(QRectF(0, 0, L.Panel6.width, L.Panel6.height),
                            L.panel6CornerEllipse / 2.0, L.panel6CornerEllipse / 2.0);
        Panel6->setMask(QRegion(path.toFillPolygon().toPolygon()));
    }
    for (int k = 1; k <= 8; ++k) {
        place(TrackBars[k], L.TrackBar[k]);
        place(label(kTrackTitles[k]), L.TrackTitle[k]);
        for (int i = 0; i < 6; ++i)
            if (kScaleLabels[k][i]) place(label(kScaleLabels[k][i]), L.ScaleLabel[k][i]);
    }
    placeAt(label("Label5"), L.Label5.left, L.Label5.top);
    placeAt(label("Label11"), L.Label11.left, L.Label11.top);
    placeAt(label("Label16"), L.Label16.left, L.Label16.top);
    placeAt(label("Label21"), L.Label21.left, L.Label21.top);
    placeAt(label("Label56"), L.Label56.left, L.Label56.top);
    placeAt(label("Label26"), L.Label26.left, L.Label26.top);
    placeAt(label("Label54"), L.Label54.left, L.Label54.top);
    placeAt(label("Label55"), L.Label55.left, L.Label55.top);
    placeAt(label("Label53"), L.Label53.left, L.Label53.top);
    place(Button2, L.Button2);
    place(Button1, L.Button1);
    place(Button11, L.Button11);
    place(Button9, L.Button9);
    place(Button10, L.Button10);
    place(Button8, L.Button8);
    place(GroupBox1, L.GroupBox1);
    place(Button3, L.Button3);
    place(Button6, L.Button6);
    place(Button12, L.Button12);

    if (L.grid1LargeFont) {
        QFont f = StringGrid1->font();
        f.setPointSize(10);
        StringGrid1->setFont(f);
    }
    place(StringGrid1, L.StringGrid1);
    for (int c = 0; c < 5; ++c) StringGrid1->setColWidth(c, L.grid1ColumnWidths[c]);
    for (int r = 0; r < 16; ++r) StringGrid1->setRowHeight(r, L.grid1RowHeight);
    place(StringGrid2, L.StringGrid2);
    for (int c = 0; c < 11; ++c) StringGrid2->setColWidth(c, L.grid2ColumnWidths[c]);
    for (int r = 0; r < 5; ++r) StringGrid2->setRowHeight(r, L.grid2RowHeight);
    place(StringGrid3, L.StringGrid3);
    StringGrid3->setColWidth(0, L.grid3ColumnWidth);
    for (int r = 0; r < 5; ++r) StringGrid3->setRowHeight(r, L.grid3RowHeight);
    StringGrid2->setCol(0);
    StringGrid2->setRow(0);
    StringGrid3->setCol(0);
    StringGrid3->setRow(0);
    place(TrackBars[9], L.TrackBar9);
    place(RichEdit1, L.RichEdit1);
    RichEdit1->clear();

    // The stacking order of the design: frames under the panels, labels of the frame on top.
    Panel6->lower();
    for (QWidget* w : std::initializer_list<QWidget*>{Panel5, Panel7, Panel1, Panel2, Panel3, Panel4,
                                                      Button2, Button1, Button11, Button9, Button10,
                                                      Button8, GroupBox1, StringGrid2, StringGrid3,
                                                      TrackBars[9], RichEdit1})
        w->raise();
}

void TForm1::startUp() {
    ProgramState& s = *state_;
    RunHistory& history = *s.session.history;
    // ---- start-up: files (guard, program folder checks) ----
    startUpFiles();
    // ---- end start-up: files ----
    const QString standard = s.ProgramFolder + "datfiles1/standard.dat";
    const FileResult read = openSimulationFile(standard.toStdString(), history);
    if (!read.ok) showError(this, QString::fromStdString(read.error));
    history.runCount = 0;
    history.selectedRun = -1;
    FillIndicesTable(0, true);
    FillHistoryRow(0, 0);
    for (int r = 1; r <= 3; ++r) FillHistoryRow(r, r);
    FillHistoryRow(4, 0);
    StringGrid2->setRow(1);
    s.session.parameters.resetToDefaults();
    DrawFlowVolumePlot();
    DrawVolumeTimeFrame();
    // ---- start-up: lung picture (pictures, background, buffer) ----
    startUpLungPicture();
    // ---- end start-up: lung picture ----
    // ---- start-up: parameter editing (active panel 0, enable rules) ----
    s.session.parameters.activePanel = 0;
    ApplyEnableRules();
    // ---- end start-up: parameter editing ----
    StartSession(s.session);
}

void TForm1::FillIndicesTable(int slot, bool showObserved) {
    ProgramState& s = *state_;
    const int comment =
        pulmora::FillIndicesTable(s.indices, *s.session.history, slot, showObserved, decimalSeparator_);
    if (comment > 0) ShowComment(comment);
    for (int r = 0; r < kIndicesRows; ++r)
        for (int c = 0; c < kIndicesColumns; ++c)
            StringGrid1->setCells(c, r, QString::fromStdString(s.indices.at(c, r)));
}

void TForm1::FillHistoryRow(int row, int slot) {
    const ProgramState& s = *state_;
    const ParameterSet& p = s.session.parameters;
    const HistoryRowTexts texts = pulmora::FillHistoryRow(
        s.session.history->slot(slot), p.selectedLungPart, p.selectedOption, decimalSeparator_);
    for (int c = 0; c < kHistoryColumns; ++c)
        if (texts.written[c]) StringGrid2->setCells(c, row, QString::fromStdString(texts.cells[c]));
    StringGrid3->setCells(0, row, QString::fromStdString(texts.option));
}

void TForm1::ShowComment(int section) {
    const QString path = state_->ProgramFolder + "helpfiles/pdp.txt";
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showError(this, QString("Cannot open file \"%1\". %2").arg(path, file.errorString()));
        return;
    }
    const QByteArray text = file.readAll();
    const CommentParagraphs parts =
        splitComment(commentSection(text.toStdString(), section));
    RichEdit1->clear();
    RichEdit1->append(QString::fromStdString(parts.first));
    // A rule of dashes just narrower than the box's writing width (inside its margins).
    const QFontMetrics metrics(RichEdit1->font());
    const int width = RichEdit1->viewport()->width() -
                      2 * static_cast<int>(RichEdit1->document()->documentMargin());
    QString rule;
    while (metrics.horizontalAdvance(rule) < width) rule += '-';
    if (!rule.isEmpty()) rule.chop(1);
    if (!parts.first.empty() && !parts.second.empty()) RichEdit1->append(rule);
    RichEdit1->append(QString::fromStdString(parts.second));
}

void TForm1::ClearComment() { RichEdit1->clear(); }

void TForm1::DrawFlowVolumePlot() {
    Canvas canvas(Image2->picture());
    pulmora::DrawFlowVolumePlot(canvas, *state_->session.history,
                                state_->session.parameters.displayVariable);
    Image2->update();
}

void TForm1::DrawVolumeTimeFrame() {
    Canvas canvas(Image3->picture());
    state_->volumeTime.VolumeTimeCounter = 1;
    DrawVolumeTimePoint(state_->volumeTime, canvas, *state_->session.history, 1);
    Image3->update();
}

void TForm1::RedrawVolumeTimeCurve() {
    Canvas canvas(Image3->picture());
    pulmora::RedrawVolumeTimeCurve(state_->volumeTime, canvas, *state_->session.history);
    Image3->update();
}

void TForm1::DrawVolumeTimeForSelection() {
    if (state_->session.history->selectedRun < 1)
        DrawVolumeTimeFrame();
    else
        RedrawVolumeTimeCurve();
}

void TForm1::RepaintTables() {
    StringGrid1->repaint();
    StringGrid2->repaint();
    StringGrid3->repaint();
}

void TForm1::drawHistoryCell(QPainter& p, const StringGrid& grid, int col, int row,
                             const QRect& r) {
    const RunHistory& history = *state_->session.history;
    const int last = grid.rowCount() - 1;
    QColor background = kMenuColour;
    if (row == 0 || row == last) background = kLightGrey;
    if (row == history.selectedRun) background = kYellow;
    p.fillRect(r, background);
    if (row == 0 || row == last || (row >= 1 && row <= history.runCount)) {
        p.save();
        p.setClipRect(r);
        p.setFont(StringGrid1->font());
        p.setPen(CurveColours[row < 5 ? row : 0]);
        p.drawText(r.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, grid.cells(col, row));
        p.restore();
    }
    if (row == 0) {
        // The heavy line under the current settings, across the whole table.
        const int y = r.top() + grid.rowHeight(0) - 1;
        p.fillRect(QRect(0, y - 1, grid.width(), 3), Qt::black);
    }
}

void TForm1::drawIndicesCell(QPainter& p, int col, int row, const QRect& r) {
    const RunHistory& history = *state_->session.history;
    QColor background = kSilver;
    if (row == 0) background = kAqua;
    if (row == 14 || row == 15) background = kLightGrey;
    p.fillRect(r, background);
    QColor text = StringGrid1->fontColor();
    if ((col == 3 || col == 4) && row > 0 && history.selectedRun > 0 && history.selectedRun < 5)
        text = CurveColours[history.selectedRun];
    p.save();
    p.setClipRect(r);
    p.setFont(StringGrid1->font());
    p.setPen(text);
    p.drawText(r.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, StringGrid1->cells(col, row));
    p.restore();
}

void TForm1::historyMouseDown(StringGrid* grid, Qt::MouseButton button, QPoint pos) {
    if (button != Qt::RightButton) return;
    if (state_->session.history->runCount == 0) {
        ShowHelpPage("helpfiles/H0005.rtf");
        return;
    }
    const GridCell cell = grid->cellAt(pos);
    if (cell.valid()) grid->setRow(cell.row);
    PopupMenu1->popup(grid->mapToGlobal(pos));
}

void TForm1::ShowHelpPage(const QString& relativePath) {
    const QString path = state_->ProgramFolder + relativePath;
    if (helpPageHook) {
        helpPageHook(path);
        return;
    }
    pulmora::ShowHelpPage(*Form4, path);
}

void TForm1::Button1MouseDown(QObject* sender, Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    QString page = "H0000.rtf";
    const QString name = sender ? sender->objectName() : QString();
    for (const HelpGroup& g : kHelpGroups) {
        bool found = false;
        for (const char* control : g.controls) found = found || name == control;
        if (found) {
            page = g.page;
            break;
        }
    }
    ShowHelpPage("helpfiles/" + page);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* me = static_cast<QMouseEvent*>(event);
        // A left click on a slider panel's background opens that group for editing.
        if (me->button() == Qt::LeftButton) {
            for (QFrame* panel : {Panel1, Panel2, Panel3, Panel4})
                if (watched == panel) PanelClick(panel);
        }
        if (me->button() == Qt::RightButton) {
            // Labels of the bottom frame and the headers of the frames have no help of their own
            // beyond the table; every other served control opens its page.
            Button1MouseDown(watched, me->button());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // F1: the general help page (there is no compiled-HTML viewer here).
    if (event->key() == Qt::Key_F1) {
        ShowHelpPage("helpfiles/H0000.rtf");
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace pulmora
