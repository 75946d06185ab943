#include "app/frmTresol.h"

#include "app/PictureBox.h"
#include "app/QtFormControls.h"
#include "app/QtGrid.h"
#include "app/Twips.h"
#include "datasheets/CHojaFrm.h"
#include "datasheets/CHojaText.h"
#include "design/Diagram.h"
#include "design/MemberLimits.h"
#include "design/SectionDxf.h"
#include "drawing/DxfExport.h"
#include "drawing/ICuadro.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Single.h"
#include "reinforcement/Carmasec.h"
#include "sections/CSeccEstruc.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryFile>
#include <QVBoxLayout>

#include <cmath>
#include <iterator>
#include <limits>
#include <map>

namespace tresol::app {

namespace {

template <class W> W* control(QWidget* parent, const char* name) {
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* lab = control<QLabel>(parent, name);
    lab->setText(text);
    return lab;
}

QLineEdit* textBox(QWidget* parent, const char* name, const QString& text, const char* tag) {
    auto* box = control<QLineEdit>(parent, name);
    box->setText(text);
    // The name under which the member sheet reads and writes it.
    box->setProperty("tag", tag);
    return box;
}

// A label, its box and its unit in a row of a grid layout.
void boxRow(QGridLayout* grid, int row, QLabel* caption, QLineEdit* box, QLabel* unit) {
    grid->addWidget(caption, row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(unit, row, 2);
}

std::string text(const QLineEdit* box) {
    return box->text().toStdString();
}

// Where a remembering window keeps the last member of its kind.
QString settingsKey(std::int32_t tipo) {
    return tipo == 0 ? QStringLiteral("miembro/pilar") : QStringLiteral("miembro/viga");
}

// The numbers of a member file, by the tags of the boxes (and the scroll bar) that hold them.
constexpr const char* kMemberNumbers[] = {"area", "recub", "ancho", "alto", "multiplo"};
// The actions a member file may hold; a file without them is of a member without actions.
constexpr const char* kActionKeys[] = {"n_ed", "my_ed", "mz_ed"};

std::string fileName(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).fileName().toStdString();
}

// The search buttons in order, by the kind each stands for.
constexpr design::SearchKind kSearches[] = {design::SearchKind::Described, design::SearchKind::EC2,
                                            design::SearchKind::ACI};

// What a number box takes and the messages that name it. Every box is read the same way: the
// whole text a finite number in the user's locale, never its leading digits, and within the
// limits any face of the program applies.
struct BoxRule {
    std::string notANumber;
    std::string outOfRange;
    bool zeroAllowed = false;
    double largest = 0;
};

BoxRule positiveBox(const std::string& what, const std::string& unit, double largest) {
    return {"Debe de introducir un número en el " + what + ".",
            "El " + what + " debe ser un número de " + unit + " mayor que 0 y de hasta " +
                platform::formatNumber(largest, "#") + ".",
            false, largest};
}

// An area of 0 asks for nothing and lists nothing: the window's starting value, with which a
// beam window makes its first run.
BoxRule areaBox() {
    return {"Debe de introducir un número.",
            "El área debe ser un número de cm² de 0 a " +
                platform::formatNumber(design::kLargestAreaCm2, "#") + ".",
            true, design::kLargestAreaCm2};
}

BoxRule lengthBox(const std::string& what) {
    return positiveBox(what, "centímetros", design::kLargestSizeCm);
}

BoxRule aggregateBox() {
    return positiveBox("tamaño del árido", "milímetros", design::kLargestAggregateMm);
}

// The link's bar: 0 for none; whether the series has it, and room for it, the run says.
BoxRule linkBox() {
    return {"Debe de introducir un número en el diámetro del cerco.",
            "El diámetro del cerco debe ser un número de milímetros de 0 a 1000 (0 o vacío: sin "
            "cerco).",
            true, 1000};
}

std::optional<double> boxValue(const QLineEdit* box, const BoxRule& rule, std::string& refusal) {
    const auto v = platform::parseNumber(text(box));
    if (!v) {
        refusal = rule.notANumber;
        return std::nullopt;
    }
    if (!(*v > 0 || (rule.zeroAllowed && *v == 0)) || *v > rule.largest) {
        refusal = rule.outOfRange;
        return std::nullopt;
    }
    return v;
}

// An action box: a finite figure either way, up to the largest action; empty is 0.
std::optional<double> actionValue(const QLineEdit* box, const std::string& what,
                                  const std::string& unit, std::string& refusal) {
    if (text(box).empty())
        return 0.0;
    const auto v = platform::parseNumber(text(box));
    if (!v) {
        refusal = "Debe de introducir un número en " + what + ".";
        return std::nullopt;
    }
    if (std::fabs(*v) > design::kLargestActionKn) {
        const std::string largest = platform::formatNumber(design::kLargestActionKn, "#");
        refusal =
            what + " debe ser un número de " + unit + " de -" + largest + " a " + largest + ".";
        return std::nullopt;
    }
    return v;
}

// Rows that do not carry the actions, in the colour of an error.
const QColor kFailingRow{190, 0, 0};

} // namespace

frmTresol::frmTresol(QWidget* parent) : QDialog(parent) {
    setObjectName("frmTresol");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Viga");
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    buildControls();
    QSize opening = kDesignOpeningSize;
    if (const QScreen* where = screen())
        opening = opening.boundedTo(where->availableGeometry().size() * 0.9);
    resize(sizeHint().expandedTo(opening).expandedTo(kDesignLeastOpening));
    aceptado = false;
}

frmTresol::~frmTresol() = default;

// The described arrangement: the area and the section's box on the left, the button, the
// multiple and the series beside them, the table and the arrangement line below both, and the
// picture with "Salir" under it on the right. The picture takes the extra width and height, the
// table the extra height too.
void frmTresol::buildControls() {
    Label1 = label(this, "Label1", "area");
    Text1 = textBox(this, "Text1", "0", "area");
    Label5[0] = label(this, "Label5", "cm2");

    Frame2 = control<QGroupBox>(this, "Frame2");
    Frame2->setTitle(QString::fromUtf8("Sección"));
    Label4 = label(Frame2, "Label4", "recub");
    Text4 = textBox(Frame2, "Text4", "5", "recub");
    Label5[1] = label(Frame2, "Label5", "cm");
    Label2 = label(Frame2, "Label2", "ancho");
    Text2 = textBox(Frame2, "Text2", "100", "ancho");
    // The caption stays "ancho" for every column; a polygon's is not a width across.
    Text2->setToolTip(QString::fromUtf8("Ancho de la sección, cm.\nEn un pilar de más de 4 lados, "
                                        "radio de la circunferencia circunscrita\n"
                                        "(la distancia del centro a cada vértice)."));
    Label5[2] = label(Frame2, "Label5", "cm");
    Label3 = label(Frame2, "Label3", "alto");
    Text3 = textBox(Frame2, "Text3", "200", "alto");
    Label5[3] = label(Frame2, "Label5", "cm");
    for (int i = 0; i < 4; ++i)
        Label5[i]->setProperty("index", i);

    Command1 = control<QPushButton>(this, "Command1");
    Command1->setText("Arma!");
    Command1->setDefault(true);

    Label6 = label(this, "Label6", "multiplo");
    Text5 = textBox(this, "Text5", "1", "");
    Text5->setReadOnly(true); // it only shows the scroll bar's value

    HScroll1 = control<QScrollBar>(this, "HScroll1");
    HScroll1->setOrientation(Qt::Horizontal);
    HScroll1->setRange(0, 10);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(3);
    HScroll1->setValue(4);
    HScroll1->setProperty("tag", "multiplo");

    Frame1 = control<QGroupBox>(this, "Frame1");
    Frame1->setTitle("Norma");
    Option1[0] = control<QRadioButton>(Frame1, "Option1");
    Option1[0]->setText("Euro");
    Option1[0]->setChecked(true);
    Option1[1] = control<QRadioButton>(Frame1, "Option1");
    Option1[1]->setText("Mex");
    for (int i = 0; i < 2; ++i)
        Option1[i]->setProperty("index", i);

    // The described list, or the arrangements a code's clear spacing allows (which depends on
    // the aggregate size).
    FrameBusqueda = control<QGroupBox>(this, "FrameBusqueda");
    FrameBusqueda->setTitle(QString::fromUtf8("Búsqueda"));
    const char* const searchTexts[] = {"Lista", "EC2", "ACI"};
    for (int i = 0; i < 3; ++i) {
        OptionBusqueda[i] = control<QRadioButton>(FrameBusqueda, "OptionBusqueda");
        OptionBusqueda[i]->setText(searchTexts[i]);
        OptionBusqueda[i]->setProperty("index", i);
    }
    OptionBusqueda[0]->setChecked(true);
    LabelArido = label(FrameBusqueda, "LabelArido", QString::fromUtf8("árido (mm)"));
    TextArido = textBox(FrameBusqueda, "TextArido", "20", "arido");
    LabelCerco = label(FrameBusqueda, "LabelCerco", QString::fromUtf8("cerco (mm)"));
    TextCerco = textBox(FrameBusqueda, "TextCerco", "", "cerco");
    TextCerco->setToolTip(
        QString::fromUtf8("Diámetro del cerco, mm: la sección se dibuja con él, sus cotas y "
                          "etiquetas.\nVacío o 0: sin cerco, el recubrimiento se mide a las "
                          "barras."));
    LabelHormigon = label(FrameBusqueda, "LabelHormigon", QString::fromUtf8("hormigón"));
    TextHormigon = textBox(FrameBusqueda, "TextHormigon", "", "hormigon");
    TextHormigon->setToolTip(QString::fromUtf8(
        "Clase (C30/37) o resistencia en MPa: fck con EC2, f'c con ACI.\nVacío: C25/30 con EC2, "
        "28 MPa con ACI."));
    LabelAcero = label(FrameBusqueda, "LabelAcero", QString::fromUtf8("acero (MPa)"));
    TextAcero = textBox(FrameBusqueda, "TextAcero", "", "acero");
    TextAcero->setToolTip(
        QString::fromUtf8("Límite elástico: fyk con EC2, fy con ACI.\nVacío: 500 con EC2, 420 "
                          "con ACI."));
    LabelDiamMax = label(FrameBusqueda, "LabelDiamMax", QString::fromUtf8("Ø máx. (mm)"));
    TextDiamMax = textBox(FrameBusqueda, "TextDiamMax", "", "diam_max");
    TextDiamMax->setToolTip(QString::fromUtf8("Diámetro mayor. Vacío: el mayor de la serie."));
    for (QWidget* w :
         std::initializer_list<QWidget*>{LabelArido, TextArido, LabelHormigon, TextHormigon,
                                         LabelAcero, TextAcero, LabelDiamMax, TextDiamMax})
        w->setEnabled(false);

    // The design actions the rows are checked against; all empty, no check.
    FrameAcciones = control<QGroupBox>(this, "FrameAcciones");
    FrameAcciones->setTitle("Acciones");
    FrameAcciones->setToolTip(QString::fromUtf8(
        "Vacías: sin comprobación de resistencia.\nCon acciones, el área puede dejarse vacía: se "
        "calcula a partir de ellas."));
    LabelNEd = label(FrameAcciones, "LabelNEd", "N<sub>Ed</sub>");
    TextNEd = textBox(FrameAcciones, "TextNEd", "", "n_ed");
    TextNEd->setToolTip(QString::fromUtf8("Axil de cálculo, kN (compresión positiva)."));
    LabelMyEd = label(FrameAcciones, "LabelMyEd", "M<sub>Ed,y</sub>");
    TextMyEd = textBox(FrameAcciones, "TextMyEd", "", "my_ed");
    TextMyEd->setToolTip(QString::fromUtf8(
        "Momento de cálculo, kN·m, alrededor del eje horizontal de la sección (a lo largo del "
        "ancho).\nEn una viga, positivo cuando tracciona la cara de las barras."));
    LabelMzEd = label(FrameAcciones, "LabelMzEd", "M<sub>Ed,z</sub>");
    for (QLabel* caption : {LabelNEd, LabelMyEd, LabelMzEd})
        caption->setTextFormat(Qt::RichText);
    TextMzEd = textBox(FrameAcciones, "TextMzEd", "", "mz_ed");
    TextMzEd->setToolTip(QString::fromUtf8(
        "Momento de cálculo, kN·m, alrededor del eje vertical de la sección.\nSolo en pilares."));

    MSFlexGrid1 = control<QTableWidget>(this, "MSFlexGrid1");
    MSFlexGrid1->setRowCount(2);
    MSFlexGrid1->setColumnCount(2);
    // Only a code search's notes are ever cut short (see fitTable).
    MSFlexGrid1->setTextElideMode(Qt::ElideRight);
    MSFlexGrid1->setWordWrap(false);
    MSFlexGrid1->setMinimumHeight(twips(1452));
    grid_ = new QtGrid(MSFlexGrid1);
    // The fifth column holds nothing: it takes what is left of the width.
    MSFlexGrid1->horizontalHeader()->setStretchLastSection(true);

    Label7 = label(this, "Label7", "Linea de armado");
    Label8 = label(this, "Label8", "");
    Label8->setFrameShape(QFrame::Panel);
    Label8->setFrameShadow(QFrame::Sunken);

    TabDibujos = control<QTabBar>(this, "TabDibujos");
    TabDibujos->addTab(QString::fromUtf8("Sección"));
    TabDibujos->addTab(QString::fromUtf8("Diagrama N–M"));
    TabDibujos->setExpanding(false);
    Picture1 = new PictureBox(this);
    Picture1->setObjectName("Picture1");
    Picture1->setMinimumSize(twips(2652), twips(3252));
    Picture1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    Picture1->addMenuAction(QString::fromUtf8("Exportar DXF…"), [this] { askAndExportDxf(true); });
    Picture1->addMenuAction(QString::fromUtf8("Exportar DXF 3D…"),
                            [this] { askAndExportDxf(false); });
    PictureDiagrama = new PictureBox(this);
    PictureDiagrama->setObjectName("PictureDiagrama");
    LabelNotas = label(this, "LabelNotas", "");
    LabelNotas->setWordWrap(true);
    LabelNotas->hide();

    Command2 = control<QPushButton>(this, "Command2");
    Command2->setText("Salir");
    Command2->setAutoDefault(false);

    cmdGuardar = control<QPushButton>(this, "cmdGuardar");
    cmdGuardar->setText(QString::fromUtf8("Guardar…"));
    cmdGuardar->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    cmdGuardar->setToolTip(QString::fromUtf8("Guarda el miembro en un fichero (Ctrl+S)"));
    cmdGuardar->setAutoDefault(false);
    cmdAbrir = control<QPushButton>(this, "cmdAbrir");
    cmdAbrir->setText(QString::fromUtf8("Abrir…"));
    cmdAbrir->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    cmdAbrir->setToolTip(QString::fromUtf8("Abre un miembro guardado (Ctrl+O)"));
    cmdAbrir->setAutoDefault(false);

    // Left: the area and the section's box.
    auto* areaRow = new QGridLayout;
    boxRow(areaRow, 0, Label1, Text1, Label5[0]);
    auto* sectionRows = new QGridLayout(Frame2);
    boxRow(sectionRows, 0, Label4, Text4, Label5[1]);
    boxRow(sectionRows, 1, Label2, Text2, Label5[2]);
    boxRow(sectionRows, 2, Label3, Text3, Label5[3]);
    auto* actionRows = new QGridLayout(FrameAcciones);
    boxRow(actionRows, 0, LabelNEd, TextNEd, label(FrameAcciones, "LabelKn", "kN"));
    boxRow(actionRows, 1, LabelMyEd, TextMyEd,
           label(FrameAcciones, "LabelKnm", QString::fromUtf8("kN·m")));
    boxRow(actionRows, 2, LabelMzEd, TextMzEd,
           label(FrameAcciones, "LabelKnm", QString::fromUtf8("kN·m")));
    auto* inputs = new QVBoxLayout;
    inputs->addLayout(areaRow);
    inputs->addWidget(Frame2);
    inputs->addWidget(FrameAcciones);
    inputs->addStretch(1);

    // Beside them: the button, the multiple and the series.
    auto* multipleRow = new QHBoxLayout;
    multipleRow->addWidget(Label6);
    multipleRow->addWidget(Text5);
    auto* series = new QVBoxLayout(Frame1);
    series->addWidget(Option1[0]);
    series->addWidget(Option1[1]);
    auto* searches = new QVBoxLayout(FrameBusqueda);
    for (QRadioButton* option : OptionBusqueda)
        searches->addWidget(option);
    auto* codeBoxes = new QGridLayout;
    // The link beside the aggregate, under every search.
    const std::pair<QLabel*, QLineEdit*> codeRows[] = {{LabelArido, TextArido},
                                                       {LabelCerco, TextCerco},
                                                       {LabelHormigon, TextHormigon},
                                                       {LabelAcero, TextAcero},
                                                       {LabelDiamMax, TextDiamMax}};
    for (int r = 0; r < static_cast<int>(std::size(codeRows)); ++r) {
        codeBoxes->addWidget(codeRows[r].first, r, 0);
        codeBoxes->addWidget(codeRows[r].second, r, 1);
        codeRows[r].second->setMaximumWidth(
            codeRows[r].second->fontMetrics().horizontalAdvance("C100/115 "));
    }
    searches->addLayout(codeBoxes);
    auto* seriesAndSearch = new QHBoxLayout;
    seriesAndSearch->addWidget(Frame1, 0, Qt::AlignTop);
    seriesAndSearch->addWidget(FrameBusqueda);
    auto* choices = new QVBoxLayout;
    choices->addWidget(Command1);
    choices->addLayout(multipleRow);
    choices->addWidget(HScroll1);
    choices->addLayout(seriesAndSearch);
    choices->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addLayout(inputs, 1);
    top->addLayout(choices);

    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(Label7);
    lineRow->addWidget(Label8, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(MSFlexGrid1, 1);
    left->addLayout(lineRow);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdGuardar);
    buttons->addWidget(cmdAbrir);
    buttons->addWidget(Command2, 1);

    auto* right = new QVBoxLayout;
    dibujos_ = new QStackedLayout;
    dibujos_->addWidget(Picture1);
    dibujos_->addWidget(PictureDiagrama);
    right->addWidget(TabDibujos);
    right->addLayout(dibujos_, 1);
    right->addWidget(LabelNotas);
    right->addLayout(buttons);

    auto* window = new QHBoxLayout(this);
    window->addLayout(left);
    window->addLayout(right, 1);

    connect(Command1, &QPushButton::clicked, this, [this] { ArmaSeccion(grid_->Row()); });
    connect(grid_, &QtGrid::rowPicked, this, [this](int) { ArmaSeccion(grid_->Row()); });
    connect(HScroll1, &QScrollBar::valueChanged, this, &frmTresol::onMultiploCambiado);
    for (QRadioButton* option : Option1)
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                onNormaElegida();
        });
    for (QRadioButton* option : OptionBusqueda)
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                onBusquedaElegida();
        });
    connect(Text2, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (tipo == 0)
            Text3->setText(t);
    });
    connect(Command2, &QPushButton::clicked, this, &frmTresol::onSalir);
    connect(cmdGuardar, &QPushButton::clicked, this, &frmTresol::askAndSave);
    connect(cmdAbrir, &QPushButton::clicked, this, &frmTresol::askAndOpen);
    // The drawing is fitted to the box again at every size, not stretched.
    connect(Picture1, &PictureBox::resized, this, &frmTresol::redraw);
    connect(PictureDiagrama, &PictureBox::resized, this, &frmTresol::drawDiagram);
    connect(TabDibujos, &QTabBar::currentChanged, dibujos_, &QStackedLayout::setCurrentIndex);
    // Actions bring the material boxes in under the described list.
    for (QLineEdit* box : {TextNEd, TextMyEd, TextMzEd})
        connect(box, &QLineEdit::textChanged, this, &frmTresol::enableMaterialBoxes);
}

std::string frmTresol::Ini(std::int32_t tipoIn, std::shared_ptr<Cdiametro> diametrosIn,
                           std::optional<double> area, std::optional<double> ancho,
                           std::optional<double> alto, std::optional<double> recub,
                           std::optional<double> planoArmadoIn) {
    tipo = tipoIn;
    if (!diametrosIn) {
        nuevoCatalogo();
    } else {
        diametros = std::move(diametrosIn);
        MarcaNorma();
    }

    if (tipo != 0 && tipo != 1) {
        close();
        return {};
    }
    setKind(tipo);

    // A face that is not a whole number within range counts as not given.
    planoArmado = planoArmadoIn ? platform::roundToInt32(*planoArmadoIn).value_or(0) : 0;

    if (area && ancho && alto && recub) {
        PoneDatos(*area, *ancho, *alto, *recub);
        ArmaSeccion(0);
    }

    if (!area && remembersMember_) {
        const QVariant last = QSettings().value(settingsKey(tipo));
        QTemporaryFile file;
        if (last.isValid() && file.open()) {
            file.write(last.toString().toUtf8());
            file.flush();
            readMember(file.fileName().toStdString(), true);
        }
    }

    if (area) {
        // exec() returns after the window closed; keep it alive until the answer is read.
        setAttribute(Qt::WA_DeleteOnClose, false);
        exec();
        const std::string answer = aceptado ? lineaArmado : std::string();
        deleteLater();
        return answer;
    }
    show();
    return aceptado ? lineaArmado : std::string();
}

// A beam's multiple moves from 4 to 1, which is a change like any other: it runs a first design
// with the window's values. A column's stays at 4 (or moves to it) and the height follows the
// width.
void frmTresol::setKind(std::int32_t tipoIn) {
    tipo = tipoIn;
    if (tipo == 0) {
        setWindowTitle("Arma pilar");
        Text3->setText(Text2->text());
        Text3->setEnabled(false);
        HScroll1->setValue(std::max(HScroll1->value(), 4));
        HScroll1->setMinimum(4);
        LabelMzEd->setEnabled(true);
        TextMzEd->setEnabled(true);
    } else {
        // A beam bends in its own plane only.
        LabelMzEd->setEnabled(false);
        TextMzEd->setEnabled(false);
        Text3->setEnabled(true);
        HScroll1->setMinimum(1);
        HScroll1->setValue(1);
        setWindowTitle("Arma viga");
    }
    Text5->setText(QString::number(HScroll1->value()));
    enableMaterialBoxes();
}

std::int32_t frmTresol::GetNumLados() const {
    return tipo == 0 ? GetMultiplo() : 4;
}

std::int32_t frmTresol::GetMultiplo() const {
    return HScroll1->value();
}

void frmTresol::PoneDatos(double area, double ancho, double alto, double recub) {
    Text1->setText(QString::fromStdString(platform::formatNumber(area * 10000.0, "#.00")));
    Text2->setText(QString::fromStdString(platform::formatNumber(ancho * 100.0, "#.00")));
    Text3->setText(QString::fromStdString(platform::formatNumber(alto * 100.0, "#.00")));
    Text4->setText(QString::fromStdString(platform::formatNumber(recub * 100.0, "#.00")));
    for (QWidget* w :
         {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3),
          static_cast<QWidget*>(Text4), static_cast<QWidget*>(HScroll1),
          static_cast<QWidget*>(cmdGuardar), static_cast<QWidget*>(cmdAbrir)})
        w->setEnabled(false);
}

// Each box read at the value typed, in the user's locale, so "12,5" is 12.5 where the comma is
// the decimal separator; a box that is not a number in full gives 0, never its leading digits.
void frmTresol::LeeDatos(float& area, float& ancho, float& recub) const {
    auto typed = [](const QLineEdit* box, double scale) {
        return platform::toSingleOrInfinity(platform::parseNumber(text(box)).value_or(0) / scale);
    };
    area = typed(Text1, 10000.0);
    ancho = typed(Text2, 100.0);
    recub = typed(Text4, 100.0);
}

// Boxes in the window's order, the first that holds no usable figure named; a column's height
// box only repeats its width.
std::optional<design::Member> frmTresol::typedMember(std::string& refusal) const {
    design::Member m;
    m.kind = tipo == 0 ? design::MemberKind::Column : design::MemberKind::Beam;
    m.series = GetTipoNorma();
    m.multiple = GetMultiplo();
    m.face = planoArmado;
    // With actions an empty area is found from them.
    const auto area =
        text(Text1).empty() && actionsTyped() ? 0.0 : boxValue(Text1, areaBox(), refusal);
    if (!area)
        return std::nullopt;
    const auto cover = boxValue(Text4, lengthBox("recubrimiento"), refusal);
    if (!cover)
        return std::nullopt;
    const auto width = boxValue(Text2, lengthBox("ancho"), refusal);
    if (!width)
        return std::nullopt;
    const auto height = tipo == 0 ? width : boxValue(Text3, lengthBox("alto"), refusal);
    if (!height)
        return std::nullopt;
    const auto link = text(TextCerco).empty() ? 0.0 : boxValue(TextCerco, linkBox(), refusal);
    if (!link)
        return std::nullopt;
    if (!typedActions(m.actions, refusal))
        return std::nullopt;
    m.areaCm2 = *area;
    m.coverCm = *cover;
    m.widthCm = *width;
    m.heightCm = *height;
    m.linkMm = *link;
    return m;
}

bool frmTresol::actionsTyped() const {
    return !text(TextNEd).empty() || !text(TextMyEd).empty() ||
           (tipo == 0 && !text(TextMzEd).empty());
}

bool frmTresol::typedActions(std::optional<design::Actions>& actions, std::string& refusal) const {
    actions.reset();
    if (!actionsTyped())
        return true;
    const auto n = actionValue(TextNEd, "N_Ed", "kN", refusal);
    if (!n)
        return false;
    const auto my = actionValue(TextMyEd, "M_Ed,y", "kN·m", refusal);
    if (!my)
        return false;
    const auto mz = tipo == 0 ? actionValue(TextMzEd, "M_Ed,z", "kN·m", refusal) : 0.0;
    if (!mz)
        return false;
    actions = design::Actions{*n, *my, *mz};
    return true;
}

void frmTresol::MarcaNorma() {
    const QString serie = QString::fromStdString(diametros->GetTipo());
    // Selecting the button here is not the user's choice: the supplied catalogue stays.
    const int i = serie == Option1[0]->text() ? 0 : 1;
    {
        QSignalBlocker b0(Option1[0]), b1(Option1[1]);
        Option1[i]->setChecked(true);
    }
    Option1[0]->setEnabled(false);
    Option1[1]->setEnabled(false);
    // The caller's catalogue is not the member files' series.
    cmdGuardar->setEnabled(false);
    cmdAbrir->setEnabled(false);
}

std::string frmTresol::GetTipoNorma() const {
    return (Option1[0]->isChecked() ? Option1[0] : Option1[1])->text().toStdString();
}

void frmTresol::nuevoCatalogo() {
    auto cat = std::make_shared<Cdiametro>();
    cat->Ini(GetTipoNorma(), "m", false, false);
    diametros = std::move(cat);
}

// The design run is the front door's; the window reads the boxes, shows what the run raised
// in the order it was raised, fills the table, marks the rows whose bars do not all fit and
// draws the picked row.
void frmTresol::ArmaSeccion(std::int32_t fila) {
    // A message box shown during a run lets events through; a second run must not start inside.
    if (running_)
        return;
    running_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{running_};

    // A refused box changes nothing else: the table, the line and the drawing stay.
    std::string refusal;
    const std::optional<design::Member> typed = typedMember(refusal);
    if (!typed) {
        platform::showError(refusal);
        return;
    }
    const design::Member& member = *typed;

    const design::SearchKind busqueda = GetBusqueda();
    design::Search search{busqueda, {}};
    if (busqueda != design::SearchKind::Described) {
        const std::optional<code::Options> options = typedCodeOptions(refusal);
        if (!options) {
            platform::showError(refusal);
            return;
        }
        search.code = *options;
    } else if (member.actions && !typedMaterials(search.code, refusal)) {
        platform::showError(refusal);
        return;
    }
    if (busqueda == design::SearchKind::Described && result_ && result_->coded()) {
        // The code rows' titles go with them.
        grid_->Row(0);
        for (std::int32_t c = 0; c < grid_->Cols(); ++c) {
            grid_->col(c);
            grid_->Text("");
        }
    }
    result_ = design::run(member, search,
                          busqueda == design::SearchKind::Described ? diametros : nullptr);
    // The strength check's notes are shown beside the drawings, not in a box at every run.
    const std::vector<design::Message>& all = result_->messages();
    const std::size_t engine = all.size() - std::min(all.size(), result_->notes().size());
    for (std::size_t i = 0; i < engine; ++i)
        platform::messages().show(all[i].text, all[i].icon);
    QStringList notes;
    for (std::size_t i = engine; i < all.size(); ++i)
        notes << QString::fromStdString(all[i].text);
    LabelNotas->setText(notes.join('\n'));
    LabelNotas->setVisible(!notes.isEmpty());
    // The area the run found from the actions, greyed in the empty area box.
    Text1->setPlaceholderText(
        member.actions && !(member.areaCm2 > 0) && !result_->refused()
            ? QString::fromStdString(platform::formatNumber(result_->areaCm2(), "#0.00"))
            : QString());
    result_->writeGrid(*grid_);
    markRows();

    grid_->col(0);
    fila = std::clamp(fila, 0, grid_->Rows() - 1);
    grid_->Row(fila);
    // A code search's header row holds the titles, not a line.
    const std::string linea = fila > 0 || !result_->coded() ? grid_->Text() : std::string();
    placement_ = result_->place(fila);
    for (const auto& m : placement_.messages)
        platform::messages().show(m.text, m.icon);
    design::DesignResult::draw(placement_, Picture1->canvas());
    diagram_ = {};
    if (!result_->checked())
        diagram_.error = "Sin acciones no hay diagrama de interacción.";
    else if (fila < 1)
        diagram_.error = "Elija un armado en la tabla.";
    else
        diagram_ = design::interactionDiagram(*result_, fila);
    design::drawDiagram(diagram_, PictureDiagrama->canvas());
    seccion_ = placement_.section;
    lineaDibujada_ = seccion_ ? linea : std::string();

    Label8->setText(QString::fromStdString(linea));
    fitTable();
}

void frmTresol::redraw() {
    if (running_ || !result_ || Picture1->width() < 1 || Picture1->height() < 1)
        return;
    design::DesignResult::draw(placement_, Picture1->canvas());
}

void frmTresol::drawDiagram() {
    if (running_ || !result_ || PictureDiagrama->width() < 1 || PictureDiagrama->height() < 1)
        return;
    design::drawDiagram(diagram_, PictureDiagrama->canvas());
}

// Rows whose bars do not all fit on the section are marked; without an outline nothing could be
// checked, and nothing is marked. A code search lists only rows that fit. Rows that do not carry
// the actions are marked in the error colour with the check that governs.
void frmTresol::markRows() {
    for (const auto& r : result_->rows()) {
        std::string why = !result_->hasOutline() || r.placeable
                              ? std::string()
                              : "Solo caben " + std::to_string(r.placed) + " de " +
                                    std::to_string(r.bars) + " redondos";
        const bool failing = r.utilisation && *r.utilisation > 1;
        if (failing)
            why +=
                (why.empty() ? "" : "\n") + std::string("No resiste las acciones: ") + r.governing;
        grid_->markRow(r.number, why, failing ? std::optional<QColor>(kFailingRow) : std::nullopt);
    }
}

// Every line of the table whole: its columns as wide as their contents, and never narrower than
// the widths the search gave them; the table as wide as its columns. A code search's notes are
// sentences: their column is kept to a few words, each note whole in its cell's tip, so that the
// drawing keeps its room.
void frmTresol::fitTable() {
    grid_->fitColumns();
    if (result_ && result_->coded()) {
        constexpr int kNotes = 3;
        const int most = MSFlexGrid1->fontMetrics().averageCharWidth() * 24;
        if (MSFlexGrid1->columnWidth(kNotes) > most)
            MSFlexGrid1->setColumnWidth(kNotes, most);
        for (int r = 1; r < MSFlexGrid1->rowCount(); ++r)
            if (QTableWidgetItem* item = MSFlexGrid1->item(r, kNotes);
                item && item->toolTip().isEmpty())
                item->setToolTip(item->text());
    }
    int width =
        2 * MSFlexGrid1->frameWidth() + MSFlexGrid1->verticalScrollBar()->sizeHint().width();
    // The last column only takes what is left, unless it holds the utilisation.
    const int counted = MSFlexGrid1->columnCount() - (result_ && result_->checked() ? 0 : 1);
    for (int c = 0; c < counted; ++c)
        width += MSFlexGrid1->columnWidth(c);
    MSFlexGrid1->setMinimumWidth(width + MSFlexGrid1->fontMetrics().averageCharWidth() * 2);
}

bool frmTresol::ExportaDxf(const std::string& path, std::string& error) const {
    if (!seccion_) {
        error = "No hay ninguna sección dibujada que exportar.";
        return false;
    }
    return design::writeSection3dDxf(path, *seccion_, lineaDibujada_, error);
}

bool frmTresol::ExportaDxf2D(const std::string& path, std::string& error) const {
    if (!seccion_) {
        error = "No hay ninguna sección dibujada que exportar.";
        return false;
    }
    // The placement drawn, with the line as the window shows it.
    design::Placement drawn = placement_;
    drawn.line = lineaDibujada_;
    return design::writeSectionDxf(path, drawn, error);
}

void frmTresol::askAndExportDxf(bool plan) {
    QString path = QFileDialog::getSaveFileName(
        this, QString::fromUtf8(plan ? "Exportar DXF" : "Exportar DXF 3D"),
        QStringLiteral("seccion.dxf"), QStringLiteral("Dibujo DXF (*.dxf)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().toLower() != "dxf")
        path += ".dxf";
    std::string error;
    if (!(plan ? ExportaDxf2D(path.toStdString(), error) : ExportaDxf(path.toStdString(), error)))
        platform::showError(error);
}

bool frmTresol::memberFilesAllowed() const {
    return cmdAbrir->isEnabled();
}

std::optional<code::Options> frmTresol::typedCodeOptions(std::string& refusal) const {
    code::Options o;
    o.code = GetBusqueda() == design::SearchKind::ACI ? code::Code::ACI : code::Code::EC2;
    const auto aggregateMm = boxValue(TextArido, aggregateBox(), refusal);
    if (!aggregateMm)
        return std::nullopt;
    o.aggregateMm = *aggregateMm;
    if (!typedMaterials(o, refusal))
        return std::nullopt;
    if (!text(TextDiamMax).empty()) {
        const auto d =
            boxValue(TextDiamMax, positiveBox("diámetro máximo", "milímetros", 1000), refusal);
        if (!d)
            return std::nullopt;
        o.maxDiameterMm = *d;
    }
    return o;
}

bool frmTresol::typedMaterials(code::Options& o, std::string& refusal) const {
    if (const std::string typed = text(TextHormigon); !typed.empty()) {
        // A number in the user's locale, or a class name.
        const auto fc = platform::parseNumber(typed) ? platform::parseNumber(typed)
                                                     : code::rules::concreteFromText(typed);
        if (!fc || !(*fc > 0)) {
            refusal = "El hormigón debe ser una clase como C30/37 o un número de MPa.";
            return false;
        }
        o.concreteMpa = *fc;
    }
    if (!text(TextAcero).empty()) {
        const auto fy = boxValue(TextAcero, positiveBox("acero", "MPa", 1e4), refusal);
        if (!fy)
            return false;
        o.steelMpa = *fy;
    }
    return true;
}

// The boxes read as a design run reads them, so a file holds the member the window designs and
// a box the run would refuse is refused here too (with its message in `refusal`); the text
// sheet writes them as XML, with the kind, the series and the picked row beside them.
std::optional<std::string> frmTresol::memberSheet(std::string& refusal) const {
    const std::optional<design::Member> member = typedMember(refusal);
    if (!member)
        return std::nullopt;
    // The aggregate counts only under a code; under the described list a box it would refuse
    // (left so by a code run, and now disabled) is left out, and the file opens with the box as
    // the opening window holds it.
    std::string codeRefusal;
    const std::optional<code::Options> codeOptions = typedCodeOptions(codeRefusal);
    if (!codeOptions && GetBusqueda() != design::SearchKind::Described) {
        refusal = codeRefusal;
        return std::nullopt;
    }
    // Actions under the described list are checked with the concrete and steel boxes.
    std::optional<code::Options> materials = codeOptions;
    if (!materials && member->actions) {
        materials.emplace();
        if (!typedMaterials(*materials, refusal))
            return std::nullopt;
    }
    CHojaText hoja;
    hoja.IniEscritura("Tresol: un miembro y la fila elegida");
    hoja.SetObjetoIni("Tresol", false);
    hoja.SetObjetoIni("miembro", false);
    hoja.SetVariable("tipo", tipo);
    hoja.SetVariable("norma", GetTipoNorma());
    const double numbers[] = {member->areaCm2, member->coverCm, member->widthCm, member->heightCm,
                              member->multiple};
    for (std::size_t i = 0; i < std::size(kMemberNumbers); ++i)
        hoja.SetVariable(kMemberNumbers[i], numbers[i]);
    hoja.SetVariable("busqueda", std::string(design::searchKindText(GetBusqueda())));
    if (codeOptions)
        hoja.SetVariable("arido", codeOptions->aggregateMm);
    if (member->linkMm > 0)
        hoja.SetVariable("cerco", member->linkMm);
    if (materials) {
        // Empty boxes stand for the code's defaults and are left out; numbers go with a point,
        // a concrete class as its name.
        const std::string concrete = text(TextHormigon);
        if (!concrete.empty() && !platform::parseNumber(concrete))
            hoja.SetVariable("hormigon", concrete);
        else if (!concrete.empty())
            hoja.SetVariable("hormigon", materials->concreteMpa);
        if (!text(TextAcero).empty())
            hoja.SetVariable("acero", materials->steelMpa);
    }
    if (codeOptions && !text(TextDiamMax).empty())
        hoja.SetVariable("diam_max", codeOptions->maxDiameterMm);
    if (member->actions) {
        // The boxes typed; an empty one is 0 and left out.
        const double values[] = {member->actions->nKn, member->actions->myKnm,
                                 member->actions->mzKnm};
        const QLineEdit* boxes[] = {TextNEd, TextMyEd, TextMzEd};
        for (std::size_t i = 0; i < std::size(kActionKeys); ++i)
            if (!text(boxes[i]).empty() && (i < 2 || tipo == 0))
                hoja.SetVariable(kActionKeys[i], values[i]);
    }
    hoja.SetVariable("fila", grid_->Row());
    hoja.SetObjetoFin();
    hoja.SetObjetoFin();
    return hoja.GetTexto();
}

bool frmTresol::GuardaMiembro(const std::string& path) {
    std::string refusal;
    const std::optional<std::string> text = memberSheet(refusal);
    if (!text) {
        platform::showError(refusal);
        return false;
    }
    const std::string& sheet = *text;
    // Written beside the target and renamed over it: a failed save leaves the old file whole.
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(sheet.data(), static_cast<qint64>(sheet.size())) !=
            static_cast<qint64>(sheet.size()) ||
        !file.commit()) {
        platform::showError("No se ha podido guardar el miembro en " + fileName(path) + ".");
        return false;
    }
    return true;
}

bool frmTresol::AbreMiembro(const std::string& path) {
    return memberFilesAllowed() && readMember(path, false);
}

// Everything is read and checked before the window is touched, so a bad file changes nothing.
bool frmTresol::readMember(const std::string& path, bool quiet) {
    const std::string name = fileName(path);
    std::map<std::string, std::string> texts;
    std::string problem;
    {
        // What the sheets would say goes into the one message below.
        platform::RecordingSink sheetMessages;
        CHojaText hoja;
        if (!QFileInfo::exists(QString::fromStdString(path))) {
            problem = "No se encuentra el fichero " + name + ".";
        } else if (!hoja.IniLectura(path)) {
            problem = "No se puede abrir " + name + ": el fichero está incompleto o no es XML.";
        } else {
            hoja.SetObjetoIni("miembro", false);
            for (const std::string key :
                 {"tipo", "norma", "area", "recub", "ancho", "alto", "multiplo", "fila"})
                texts[key] = valueText(hoja.GetVariableDeHoja(key));
            if (!sheetMessages.entries().empty())
                problem = name + " no es un fichero de miembro de Tresol.";
            // Sheets written before the code-checked search hold neither: the described list;
            // nor before the link: none.
            for (const std::string key : {"busqueda", "arido", "cerco", "hormigon", "acero",
                                          "diam_max", "n_ed", "my_ed", "mz_ed"}) {
                platform::RecordingSink absent;
                const std::string value = valueText(hoja.GetVariableDeHoja(key));
                if (absent.entries().empty())
                    texts[key] = value;
            }
        }
    }

    // The file holds its numbers with a point, whatever the user's locale. The first value that
    // cannot be taken is named in the message.
    std::map<std::string, double> numbers;
    std::string bad;
    {
        platform::ScopedNumberLocale point('.');
        for (const auto& [key, value] : texts) {
            if (key == "norma" || key == "busqueda" || key == "hormigon" || key == "acero" ||
                key == "diam_max")
                continue;
            const auto n = platform::parseNumber(value);
            if (!n && bad.empty())
                bad = key;
            numbers[key] = n.value_or(0);
        }
    }
    auto whole = [&](const std::string& key, std::int32_t lo, std::int32_t hi) {
        const auto n = platform::roundToInt32(numbers[key]);
        const bool ok = n && *n == numbers[key] && *n >= lo && *n <= hi;
        if (!ok && bad.empty())
            bad = key;
        return ok ? *n : lo;
    };
    const std::int32_t kind = whole("tipo", 0, 1);
    const std::int32_t multiple = whole("multiplo", kind == 0 ? 4 : 1, HScroll1->maximum());
    const std::int32_t row = whole("fila", 0, std::numeric_limits<std::int32_t>::max());
    if (texts["norma"] != "Euro" && texts["norma"] != "Mex" && bad.empty())
        bad = "norma";
    const auto search = design::searchKindFromText(
        texts.contains("busqueda") ? texts["busqueda"]
                                   : design::searchKindText(design::SearchKind::Described));
    if (!search && bad.empty())
        bad = "busqueda";
    if (problem.empty() && !bad.empty())
        problem = "No se puede abrir " + name + ": el valor de " + bad + " (\"" + texts[bad] +
                  "\") no se puede leer.";
    if (!problem.empty()) {
        if (!quiet)
            platform::showError(problem);
        return false;
    }

    {
        // One design run at the end, not one per control set.
        running_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{running_};
        setKind(kind);
        Option1[texts["norma"] == "Mex" ? 1 : 0]->setChecked(true);
        for (int i = 0; i < 3; ++i)
            if (kSearches[i] == search)
                OptionBusqueda[i]->setChecked(true);
        QtFormControls form(this);
        CHojaFrm ventana;
        ventana.Ini(form);
        for (const std::string key : kMemberNumbers)
            if (!(kind == 0 && key == "alto"))
                ventana.SetVariable(key, key == "multiplo" ? Value{multiple} : Value{numbers[key]});
        if (numbers.contains("arido"))
            ventana.SetVariable("arido", Value{numbers["arido"]});
        if (numbers.contains("cerco") && numbers["cerco"] != 0)
            ventana.SetVariable("cerco", Value{numbers["cerco"]});
        else
            TextCerco->clear();
        // Kept as typed (a class name or a number with a point), or emptied for a file without
        // them; a value the run refuses is said by the run.
        for (QLineEdit* box : {TextHormigon, TextAcero, TextDiamMax}) {
            const std::string key = box->property("tag").toString().toStdString();
            std::string value = texts.contains(key) ? texts[key] : std::string();
            std::replace(value.begin(), value.end(), '.',
                         platform::numberLocale().decimalSeparator);
            box->setText(QString::fromStdString(value));
        }
        // A beam's sheet holds no M_Ed,z.
        for (QLineEdit* box : {TextNEd, TextMyEd, TextMzEd}) {
            const std::string key = box->property("tag").toString().toStdString();
            if (numbers.contains(key) && !(kind == 1 && box == TextMzEd))
                ventana.SetVariable(key, Value{numbers[key]});
            else
                box->clear();
        }
    }
    ArmaSeccion(row);
    return true;
}

void frmTresol::askAndSave() {
    QString path = QFileDialog::getSaveFileName(this, QString::fromUtf8("Guardar miembro"),
                                                QStringLiteral("miembro.xml"),
                                                QStringLiteral("Miembro de Tresol (*.xml)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".xml";
    GuardaMiembro(path.toStdString());
}

void frmTresol::askAndOpen() {
    const QString path = QFileDialog::getOpenFileName(
        this, QString::fromUtf8("Abrir miembro"), QString(),
        QStringLiteral("Miembro de Tresol (*.xml);;Todos los ficheros (*)"));
    if (!path.isEmpty())
        AbreMiembro(path.toStdString());
}

void frmTresol::done(int result) {
    // A member the window would refuse is not kept: the last sound one stays.
    std::string refusal;
    if (remembersMember_ && (tipo == 0 || tipo == 1) && memberFilesAllowed())
        if (const auto sheet = memberSheet(refusal))
            QSettings().setValue(settingsKey(tipo), QString::fromStdString(*sheet));
    QDialog::done(result);
}

void frmTresol::onMultiploCambiado(int value) {
    Text5->setText(QString::number(value));
    ArmaSeccion(0);
}

void frmTresol::onNormaElegida() {
    nuevoCatalogo();
    ArmaSeccion(0);
}

design::SearchKind frmTresol::GetBusqueda() const {
    for (int i = 0; i < 3; ++i)
        if (OptionBusqueda[i]->isChecked())
            return kSearches[i];
    return design::SearchKind::Described;
}

void frmTresol::onBusquedaElegida() {
    enableMaterialBoxes();
    ArmaSeccion(0);
}

void frmTresol::enableMaterialBoxes() {
    const bool code = GetBusqueda() != design::SearchKind::Described;
    for (QWidget* w :
         std::initializer_list<QWidget*>{LabelArido, TextArido, LabelDiamMax, TextDiamMax})
        w->setEnabled(code);
    // Under the described list the actions are checked by EN 1992-1-1 with these boxes.
    const bool materials = code || actionsTyped();
    for (QWidget* w :
         std::initializer_list<QWidget*>{LabelHormigon, TextHormigon, LabelAcero, TextAcero})
        w->setEnabled(materials);
    // The defaults, shown greyed in the empty boxes.
    const bool aci = GetBusqueda() == design::SearchKind::ACI;
    TextHormigon->setPlaceholderText(materials ? (aci ? "28" : "C25/30") : "");
    TextAcero->setPlaceholderText(materials ? (aci ? "420" : "500") : "");
}

void frmTresol::onSalir() {
    aceptado = true;
    lineaArmado = Label8->text().toStdString();
    close();
}

} // namespace tresol::app
