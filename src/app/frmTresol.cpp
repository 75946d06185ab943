#include "app/frmTresol.h"

#include "app/PictureBox.h"
#include "app/QtGrid.h"
#include "app/Twips.h"
#include "drawing/CCuadroDibujo.h"
#include "drawing/DxfExport.h"
#include "drawing/ICuadro.h"
#include "geometry/CVector.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Single.h"
#include "reinforcement/CArmador.h"
#include "reinforcement/Carmasec.h"
#include "sections/CSeccEstruc.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>

#include <cmath>

namespace tresol::app {

namespace {

template <class W>
W* control(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* w = new W(parent);
    w->setObjectName(name);
    placeTwips(w, left, top, width, height);
    return w;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int l, int t, int w, int h) {
    auto* lab = control<QLabel>(parent, name, l, t, w, h);
    lab->setText(text);
    return lab;
}

QLineEdit* textBox(QWidget* parent, const char* name, const QString& text, int l, int t, int w,
                   int h) {
    auto* box = control<QLineEdit>(parent, name, l, t, w, h);
    box->setText(text);
    return box;
}

std::string text(const QLineEdit* box) { return box->text().toStdString(); }

} // namespace

frmTresol::frmTresol(QWidget* parent) : QDialog(parent) {
    setObjectName("frmTresol");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Viga");
    buildControls();
    aceptado = false;
}

frmTresol::~frmTresol() = default;

void frmTresol::buildControls() {
    setFixedSize(twips(7176), twips(3948));
    setFont(compactFont(font()));

    Label1 = label(this, "Label1", "area", 120, 120, 372, 372);
    Text1 = textBox(this, "Text1", "0", 600, 120, 1215, 285);
    Label5[0] = label(this, "Label5", "cm2", 1920, 120, 372, 252);

    Frame2 = control<QGroupBox>(this, "Frame2", 0, 480, 2415, 1575);
    Frame2->setTitle(QString::fromUtf8("Sección"));
    Label4 = label(Frame2, "Label4", "recub", 120, 360, 495, 255);
    Text4 = textBox(Frame2, "Text4", "5", 600, 360, 1215, 285);
    Label5[1] = label(Frame2, "Label5", "cm", 1920, 360, 375, 255);
    Label2 = label(Frame2, "Label2", "ancho", 120, 720, 495, 255);
    Text2 = textBox(Frame2, "Text2", "100", 600, 720, 1215, 285);
    Label5[2] = label(Frame2, "Label5", "cm", 1920, 720, 375, 255);
    Label3 = label(Frame2, "Label3", "alto", 120, 1080, 495, 255);
    Text3 = textBox(Frame2, "Text3", "200", 600, 1080, 1215, 285);
    Label5[3] = label(Frame2, "Label5", "cm", 1920, 1080, 375, 255);
    for (int i = 0; i < 4; ++i)
        Label5[i]->setProperty("index", i);

    Command1 = control<QPushButton>(this, "Command1", 2520, 120, 1695, 375);
    Command1->setText("Arma!");
    Command1->setDefault(true);

    Label6 = label(this, "Label6", "multiplo", 2640, 600, 732, 252);
    Text5 = textBox(this, "Text5", "1", 3480, 600, 735, 285);
    Text5->setReadOnly(true); // it only shows the scroll bar's value

    HScroll1 = control<QScrollBar>(this, "HScroll1", 2760, 960, 1335, 255);
    HScroll1->setOrientation(Qt::Horizontal);
    HScroll1->setRange(0, 10);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(3);
    HScroll1->setValue(4);

    Frame1 = control<QGroupBox>(this, "Frame1", 2520, 1200, 1815, 855);
    Frame1->setTitle("Norma");
    Option1[0] = control<QRadioButton>(Frame1, "Option1", 240, 240, 1215, 255);
    Option1[0]->setText("Euro");
    Option1[0]->setChecked(true);
    Option1[1] = control<QRadioButton>(Frame1, "Option1", 240, 480, 1215, 255);
    Option1[1]->setText("Mex");
    for (int i = 0; i < 2; ++i)
        Option1[i]->setProperty("index", i);

    MSFlexGrid1 = control<QTableWidget>(this, "MSFlexGrid1", 120, 2160, 4212, 1452);
    MSFlexGrid1->setRowCount(2);
    MSFlexGrid1->setColumnCount(2);
    MSFlexGrid1->setStyleSheet("QTableWidget::item { padding: 0px 1px; }");
    // Narrow columns (600 twips for the line): a slightly smaller font keeps '42 fi 10' whole.
    QFont gridFont = MSFlexGrid1->font();
    gridFont.setPixelSize(9);
    MSFlexGrid1->setFont(gridFont);
    MSFlexGrid1->setTextElideMode(Qt::ElideNone);
    MSFlexGrid1->setWordWrap(false);
    grid_ = new QtGrid(MSFlexGrid1);

    Label7 = label(this, "Label7", "Linea de armado", 240, 3600, 1332, 252);
    Label8 = label(this, "Label8", "", 1800, 3600, 2532, 252);
    Label8->setFrameShape(QFrame::Panel);
    Label8->setFrameShadow(QFrame::Sunken);

    Picture1 = new PictureBox(this);
    Picture1->setObjectName("Picture1");
    placeTwips(Picture1, 4440, 120, 2652, 3252);
    Picture1->addMenuAction(QString::fromUtf8("Exportar DXF…"), [this] { askAndExportDxf(); });

    Command2 = control<QPushButton>(this, "Command2", 4440, 3480, 2652, 372);
    Command2->setText("Salir");
    Command2->setAutoDefault(false);

    connect(Command1, &QPushButton::clicked, this, [this] { ArmaSeccion(grid_->Row()); });
    connect(grid_, &QtGrid::rowPicked, this, [this](int) { ArmaSeccion(grid_->Row()); });
    connect(HScroll1, &QScrollBar::valueChanged, this, &frmTresol::onMultiploCambiado);
    for (QRadioButton* option : Option1)
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                onNormaElegida();
        });
    connect(Text2, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (tipo == 0)
            Text3->setText(t);
    });
    connect(Command2, &QPushButton::clicked, this, &frmTresol::onSalir);
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

    // A beam's multiple moves from 4 to 1, which is a change like any other: it runs a first
    // design with the window's defaults. A column's stays at 4 and runs nothing.
    if (tipo == 0) {
        setWindowTitle("Arma pilar");
        Text3->setText(Text2->text());
        Text3->setEnabled(false);
        HScroll1->setValue(4);
        HScroll1->setMinimum(4);
    } else if (tipo == 1) {
        HScroll1->setMinimum(1);
        HScroll1->setValue(1);
        setWindowTitle("Arma viga");
    } else {
        close();
        return {};
    }
    Text5->setText(QString::number(HScroll1->value()));

    // A face that is not a whole number within range counts as not given.
    planoArmado = planoArmadoIn ? platform::roundToInt32(*planoArmadoIn).value_or(0) : 0;

    if (area && ancho && alto && recub) {
        PoneDatos(*area, *ancho, *alto, *recub);
        ArmaSeccion(0);
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

std::int32_t frmTresol::GetNumLados() const { return tipo == 0 ? GetMultiplo() : 4; }

std::int32_t frmTresol::GetMultiplo() const { return HScroll1->value(); }

void frmTresol::PoneDatos(double area, double ancho, double alto, double recub) {
    Text1->setText(QString::fromStdString(platform::formatNumber(area * 10000.0, "#.00")));
    Text2->setText(QString::fromStdString(platform::formatNumber(ancho * 100.0, "#.00")));
    Text3->setText(QString::fromStdString(platform::formatNumber(alto * 100.0, "#.00")));
    Text4->setText(QString::fromStdString(platform::formatNumber(recub * 100.0, "#.00")));
    for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2),
                       static_cast<QWidget*>(Text3), static_cast<QWidget*>(Text4),
                       static_cast<QWidget*>(HScroll1)})
        w->setEnabled(false);
}

// A box that passes the numeric test is read at the value typed, in the user's locale, so
// "12,5" is 12.5 where the comma is the decimal separator; other texts give their leading number.
void frmTresol::LeeDatos(float& area, float& ancho, float& recub) const {
    area = platform::toSingleOrInfinity(platform::boxNumber(text(Text1)) / 10000.0);
    ancho = platform::toSingleOrInfinity(platform::boxNumber(text(Text2)) / 100.0);
    recub = platform::toSingleOrInfinity(platform::boxNumber(text(Text4)) / 100.0);
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
}

std::string frmTresol::GetTipoNorma() const {
    return (Option1[0]->isChecked() ? Option1[0] : Option1[1])->text().toStdString();
}

void frmTresol::nuevoCatalogo() {
    auto cat = std::make_shared<Cdiametro>();
    cat->Ini(GetTipoNorma(), "m", false, false);
    diametros = std::move(cat);
}

void frmTresol::ArmaSeccion(std::int32_t fila) {
    // A message box shown during a run lets events through; a second run must not start inside.
    if (running_)
        return;
    running_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{running_};

    CCuadroDibujo cuadro;
    cuadro.IniciaAPelo(Picture1->canvas());
    CArmador armador;
    if (!platform::isNumeric(text(Text1))) {
        platform::showError("Debe de introducir un número.");
        return;
    }
    float area = 0, ancho = 0, recub = 0;
    LeeDatos(area, ancho, recub);
    const std::int32_t multiplo = GetMultiplo();

    armador.Ini(area, diametros, ancho, false, 0.05f, 0.3f, 1, 1000, recub, multiplo);
    armador.PasaRedondosGrid(*grid_);

    auto seccPtr = std::make_shared<CSeccEstruc>();
    CSeccEstruc& secc = *seccPtr;
    const bool hayContorno = GeneraSeccion(secc, GetNumLados());

    grid_->col(0);
    fila = std::clamp(fila, 0, grid_->Rows() - 1);
    grid_->Row(fila);
    const std::string linea = grid_->Text();

    if (hayContorno) {
        if (!linea.empty()) {
            if (tipo == 0)
                secc.AnyadeRefuerzoContorno(linea, recub);
            else
                secc.AnyadeRefuerzoLineaCentrada(linea, recub, planoArmado);
        }
        secc.DibujaSeccion(cuadro, &secc, nullptr, 2, 1.2f, std::int16_t{0});
        seccion_ = std::move(seccPtr);
        lineaDibujada_ = linea;
    } else {
        // No outline to draw: an empty picture rather than the previous member's.
        Picture1->canvas().Cls();
        seccion_.reset();
        lineaDibujada_.clear();
    }

    Label8->setText(QString::fromStdString(linea));
}

// The member's outline: a beam (or a four-sided column) is the rectangle of its width across
// (Z) and its height up (Y); a column of more sides the regular polygon of radius = width.
// A width or height outside 0.1 mm … 10 km (zero, negative, unreadable or absurd) gives no
// outline (false): its properties would underflow or overflow single precision, which the
// section classes treat as a programming error.
bool frmTresol::GeneraSeccion(CSeccEstruc& secc, std::int32_t numLados) const {
    const float b = platform::toSingleOrInfinity(platform::boxNumber(text(Text2)) / 100.0);
    const float h = platform::toSingleOrInfinity(platform::boxNumber(text(Text3)) / 100.0);
    auto valido = [](float v) { return v >= 1e-4f && v <= 1e4f; };
    const bool anchoValido = valido(b);
    const bool altoValido = valido(h);
    PointArray pto2d = makePointArray(numLados + 1);
    if (numLados == 4) {
        if (!anchoValido || !altoValido)
            return false;
        pto2d = makePointArray({{-h / 2, -b / 2}, {h / 2, -b / 2}, {h / 2, b / 2}, {-h / 2, b / 2},
                                {-h / 2, -b / 2}});
    } else {
        if (!anchoValido)
            return false;
        CVector radio;
        radio.Ini(0, 0, 0, 0, b, 0);
        radio.CreaPtosCircunf(numLados, 0, pto2d, 0);
    }
    return secc.IniPorPuntos(3, 0, pto2d, diametros, Value{0.0f}, false);
}

bool frmTresol::ExportaDxf(const std::string& path, std::string& error) const {
    if (!seccion_) {
        error = "No hay ninguna sección dibujada que exportar.";
        return false;
    }
    const CSeccEstruc& secc = *seccion_;
    const std::string linea = lineaDibujada_;
    return ExportDxf(
        path,
        [&secc, &linea](ICuadro& cuadro) {
            std::int32_t NP = 0;
            PointArray contorno;
            secc.GeneraContorno(NP, contorno, 1);
            // Outline and bars in one plane, as the picture shows them: Z across, Y up.
            DibujaContornoFrontal(cuadro, NP, contorno);
            if (const auto armado = secc.GetArmado())
                armado->Dibuja(cuadro);
            if (!linea.empty()) {
                float ymin = contorno(1, 1), zmin = contorno(1, 2);
                for (std::int32_t i = 2; i <= NP; ++i) {
                    ymin = std::min(ymin, contorno(i, 1));
                    zmin = std::min(zmin, contorno(i, 2));
                }
                const float alto = std::max(secc.cantoY(), secc.cantoZ());
                // Under the section, standing in the same plane.
                cuadro.PoneText(zmin, 0, ymin - 0.15f * alto, linea, 0.06f * alto);
            }
        },
        error);
}

void frmTresol::askAndExportDxf() {
    QString path = QFileDialog::getSaveFileName(this, QString::fromUtf8("Exportar DXF"),
                                                QStringLiteral("seccion.dxf"),
                                                QStringLiteral("Dibujo DXF (*.dxf)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().toLower() != "dxf")
        path += ".dxf";
    std::string error;
    if (!ExportaDxf(path.toStdString(), error))
        platform::showError(error);
}

void frmTresol::onMultiploCambiado(int value) {
    Text5->setText(QString::number(value));
    ArmaSeccion(0);
}

void frmTresol::onNormaElegida() {
    nuevoCatalogo();
    ArmaSeccion(0);
}

void frmTresol::onSalir() {
    aceptado = true;
    lineaArmado = Label8->text().toStdString();
    close();
}

} // namespace tresol::app
