#pragma once

#include "design/Diagram.h"
#include "design/Run.h"
#include "reinforcement/Cdiametro.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QStackedLayout;
class QTabBar;
class QTableWidget;

namespace tresol {
class CSeccEstruc;
}

namespace tresol::app {

class PictureBox;
class QtGrid;

// The design window: the user types the steel area, cover and dimensions, picks a bar series and
// a multiple, and gets every arrangement that provides the area; the chosen one is handed back.
class frmTresol : public QDialog {
    Q_OBJECT
  public:
    explicit frmTresol(QWidget* parent = nullptr);
    ~frmTresol() override;

    // Opens the window for a column (0) or a beam (1). Given an area, it runs a first design with
    // the caller's values and is modal; it then answers the line the user accepted with "Salir"
    // ("" when the window was closed otherwise). Without an area it is modeless and answers "".
    std::string Ini(std::int32_t tipo, std::shared_ptr<Cdiametro> diametros = {},
                    std::optional<double> area = {}, std::optional<double> ancho = {},
                    std::optional<double> alto = {}, std::optional<double> recub = {},
                    std::optional<double> planoArmado = {});

    std::int32_t GetNumLados() const;
    std::int32_t GetMultiplo() const;
    void PoneDatos(double area, double ancho, double alto, double recub);
    void LeeDatos(float& area, float& ancho, float& recub) const;
    void MarcaNorma();
    std::string GetTipoNorma() const;
    // The design run for a table row (0 = the empty header row).
    void ArmaSeccion(std::int32_t fila);

    std::shared_ptr<Cdiametro> diametrosEnUso() const { return diametros; }
    std::int32_t GetPlanoArmado() const { return planoArmado; }
    QtGrid& grid() const { return *grid_; }
    PictureBox& picture() const { return *Picture1; }
    // The picked row's N–M interaction diagram, beside the section in a tab of its own.
    PictureBox& diagram() const { return *PictureDiagrama; }
    // Writes the section of the last run, its bars and its arrangement line to a DXF drawing;
    // false with a text for the user when there is nothing to export or the file fails.
    bool ExportaDxf(const std::string& path, std::string& error) const;
    // The same section as a plan drawing in millimetres a detailer's 2D CAD opens; the same
    // answers.
    bool ExportaDxf2D(const std::string& path, std::string& error) const;
    // Which search fills the table: the described list (the default) or a code-checked one.
    design::SearchKind GetBusqueda() const;

    // Member files: kind, series, area, cover, width, height, multiple, search, aggregate, link,
    // the actions typed and the picked row as an XML sheet (a sheet without the search is of the
    // described list). Saving writes a temporary file and renames it; false (with a message) when a
    // box holds what a design run would refuse or the file cannot be written. Opening runs the
    // design and picks the row again; a file that is not such a sheet, is cut short or holds an
    // unreadable value gives one message and leaves the window as it was.
    bool GuardaMiembro(const std::string& path);
    bool AbreMiembro(const std::string& path);
    // A window that remembers keeps its member in the settings when it closes and starts from
    // the last one of its kind (the launcher's windows do).
    void setRemembersMember(bool on) { remembersMember_ = on; }

    // Every way of leaving (Salir, the frame's close, Esc) ends here.
    void done(int result) override;

  private:
    void buildControls();
    void setKind(std::int32_t tipo);
    void redraw();
    void markRows();
    void fitTable();
    bool memberFilesAllowed() const;
    std::optional<std::string> memberSheet(std::string& refusal) const;
    // The member the boxes hold; nothing, and the message naming the box, when one is refused.
    std::optional<design::Member> typedMember(std::string& refusal) const;
    // Whether an action box holds anything: the member is then checked for strength.
    bool actionsTyped() const;
    // The action boxes: nothing when all are empty (an empty one among typed ones is 0).
    bool typedActions(std::optional<design::Actions>& actions, std::string& refusal) const;
    // The code search's boxes (aggregate, concrete, steel, largest bar) read as a run reads them.
    std::optional<code::Options> typedCodeOptions(std::string& refusal) const;
    // The concrete and steel boxes into `o`; false, with the message, when one is refused.
    bool typedMaterials(code::Options& o, std::string& refusal) const;
    // The material boxes count under a code, and under the described list with actions.
    void enableMaterialBoxes();
    void drawDiagram();
    bool readMember(const std::string& path, bool quiet);
    void askAndSave();
    void askAndOpen();
    void nuevoCatalogo();
    void onSalir();
    void onMultiploCambiado(int value);
    void onNormaElegida();
    void onBusquedaElegida();
    void askAndExportDxf(bool plan);

    std::string lineaArmado;
    bool aceptado = false;
    std::int32_t planoArmado = 0;
    std::int32_t tipo = 0;
    std::shared_ptr<Cdiametro> diametros;

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label5[4];
    QGroupBox* Frame2;
    QLabel* Label4;
    QLineEdit* Text4;
    QLabel* Label2;
    QLineEdit* Text2;
    QLabel* Label3;
    QLineEdit* Text3;
    QPushButton* Command1;
    QLabel* Label6;
    QLineEdit* Text5;
    QScrollBar* HScroll1;
    QGroupBox* Frame1;
    QRadioButton* Option1[2];
    QGroupBox* FrameBusqueda;
    QRadioButton* OptionBusqueda[3];
    QLabel* LabelArido;
    QLineEdit* TextArido;
    // The link's bar (mm); empty or 0, no link.
    QLabel* LabelCerco;
    QLineEdit* TextCerco;
    // The code search's materials and largest bar; left empty, the code's defaults.
    QLabel* LabelHormigon;
    QLineEdit* TextHormigon;
    QLabel* LabelAcero;
    QLineEdit* TextAcero;
    QLabel* LabelDiamMax;
    QLineEdit* TextDiamMax;
    // N_Ed (kN), M_Ed,y and M_Ed,z (kN·m); a beam takes M_Ed,y only.
    QGroupBox* FrameAcciones;
    QLabel* LabelNEd;
    QLineEdit* TextNEd;
    QLabel* LabelMyEd;
    QLineEdit* TextMyEd;
    QLabel* LabelMzEd;
    QLineEdit* TextMzEd;
    QTableWidget* MSFlexGrid1;
    QLabel* Label7;
    QLabel* Label8;
    // The section and the diagram share the place of the picture, one shown at a time.
    QTabBar* TabDibujos;
    QStackedLayout* dibujos_;
    PictureBox* Picture1;
    PictureBox* PictureDiagrama;
    // What the strength check noted (the area it found, no row carrying the actions).
    QLabel* LabelNotas;
    QPushButton* Command2;
    QPushButton* cmdGuardar;
    QPushButton* cmdAbrir;

    QtGrid* grid_;
    // The last run and the placement it drew, kept to draw it again at another size.
    std::optional<design::RunResult> result_;
    design::Placement placement_;
    design::Diagram diagram_;
    // What the last run drew, kept for the DXF export.
    std::shared_ptr<const CSeccEstruc> seccion_;
    std::string lineaDibujada_;
    bool running_ = false;
    bool remembersMember_ = false;
};

} // namespace tresol::app
