"""Tresol: longitudinal bars of reinforced-concrete beams and columns."""

import os
from typing import Any, Iterable, Iterator, Literal, Mapping, Optional, Sequence, Tuple, TypedDict, Union

Kind = Literal["viga", "pilar"]
Series = Literal["Euro", "Mex"]
Search = Literal["described", "ec2", "aci"]

__version__: str

class InternalError(RuntimeError):
    """A broken contract inside the core: a fault of Tresol's, reported rather than fatal."""

class LinkFields(TypedDict, total=False):
    """A candidate's link, when its member has one (link_mm): its text ('1 cerco fi 8 + 2
    horquillas fi 8'), the crossties a column's bars need and a column's largest link spacing
    along it (mm; None for a beam)."""
    link: str
    crossties: int
    link_spacing_mm: Optional[float]

class CandidateDict(LinkFields):
    candidate: int
    line: str
    bars: int
    diameter_mm: float
    bar_area_cm2: float
    total_area_cm2: float
    excess_pct: float
    spacing_cm: float
    clear_spacing_cm: float
    placeable: bool
    placed: int
    chosen: bool
    short: bool
    centre_spacing_cm: Optional[float]
    clear_gap_cm: Optional[float]

class CandidateRow(CandidateDict):
    """A row of candidates_dicts(): the candidate with its member's id and its mass."""
    id: str
    mass_kg: Optional[float]

class GroupDict(TypedDict):
    count: int
    diameter_mm: float
    ref: str

class LayerDict(TypedDict):
    groups: list[GroupDict]
    clear_spacing_mm: float
    min_clear_mm: Optional[float]

class CodeCandidateDict(LinkFields):
    candidate: int
    line: str
    bars: int
    total_area_cm2: float
    excess_pct: float
    layers: list[LayerDict]
    effective_depth_cm: Optional[float]
    ratio_pct: float
    flags: list[str]
    chosen: bool
    short: bool
    centre_spacing_cm: Optional[float]
    clear_gap_cm: Optional[float]

class CodeCandidateRow(CodeCandidateDict):
    """A row of candidates_dicts(): the arrangement with its member's id and its mass."""
    id: str
    mass_kg: Optional[float]

class Bar(TypedDict):
    reference: str
    diameter_mm: float
    area_cm2: float

class SectionProperties(TypedDict):
    area: float
    centroid: Tuple[float, float]
    iy: float
    iz: float

class Candidate:
    """One arrangement of bars for a member: a line of the schedule. A described row is one size
    in one layer; a code search's row (EN 1992-1-1 or ACI 318 clear spacing, up to two
    neighbouring sizes and two layers) has its layers, depth, ratio and notes."""

    @property
    def candidate(self) -> int:
        """Its number, 1…k, in the order of the search (a code search's preferred first)."""
    @property
    def line(self) -> str:
        """The line, e.g. '5 fi 16'; a code row's groups joined by ' + ', layers by ' / '."""
    @property
    def bars(self) -> int:
        """Number of bars."""
    @property
    def diameter_mm(self) -> float:
        """Bar diameter (mm); a code row's largest (its corners)."""
    @property
    def bar_area_cm2(self) -> Optional[float]:
        """Area of one bar (cm²); None for a row of several sizes."""
    @property
    def total_area_cm2(self) -> float:
        """Area of all the bars (cm²)."""
    @property
    def excess_pct(self) -> float:
        """Steel beyond the required area, in % of it."""
    @property
    def spacing_cm(self) -> float:
        """The search's spacing of the line (cm): a described line's bar line shared out between
        the bars, the window's figure, not always the bars' as placed (see centre_spacing_cm);
        a code row's widest centre spacing."""
    @property
    def clear_spacing_cm(self) -> float:
        """The line's spacing less one diameter (cm); a code row's narrowest clear gap."""
    @property
    def centre_spacing_cm(self) -> Optional[float]:
        """The least distance between the centres of two bars as placed on the section (cm);
        None with fewer than two bars placed."""
    @property
    def clear_gap_cm(self) -> Optional[float]:
        """The least clear gap between two bars as placed (cm): their centre distance less both
        radii; None with fewer than two bars placed."""
    @property
    def short(self) -> bool:
        """Whether its area is less than the required one (the described search lists rows up
        to 1 % short; a code search never)."""
    @property
    def placeable(self) -> bool:
        """Whether all the bars fit on the section."""
    @property
    def placed(self) -> int:
        """How many of the bars fit on the section."""
    @property
    def layers(self) -> list[LayerDict]:
        """The layers, the first at the face (a column has one): groups (count, diameter_mm,
        ref), clear_spacing_mm (the equal clear gap; a column's least over its sides) and
        min_clear_mm (the code's least; None for a described row)."""
    @property
    def effective_depth_cm(self) -> Optional[float]:
        """A code-checked beam's effective depth to the centroid of its bars (cm); None
        otherwise."""
    @property
    def ratio_pct(self) -> Optional[float]:
        """A code row's steel area in % of the gross concrete area; None for a described row."""
    @property
    def flags(self) -> list[str]:
        """A code row's notes; they never mean a refusal."""
    @property
    def chosen(self) -> bool:
        """Whether the schedule takes this candidate: described, the placeable one of least area
        at or above the required area, only when there is none the least short; a code search's
        preferred one."""
    @property
    def utilisation(self) -> Optional[float]:
        """Design action over resistance when the member has actions (≤ 1 carries them)."""
    @property
    def governing(self) -> str:
        """The governing strength check, as text ('' without actions)."""
    @property
    def m_rd_knm(self) -> Optional[float]:
        """The moment resistance at N_Ed in the direction of the design moment (kN·m)."""
    @property
    def x_d(self) -> Optional[float]:
        """A beam's neutral-axis depth over its effective depth at that state."""
    @property
    def phi(self) -> Optional[float]:
        """ACI 318's strength-reduction factor at that state."""
    def as_dict(self) -> Union[CandidateDict, CodeCandidateDict]:
        """The candidate as a dict with the schedule's field names."""

# The rows of a code search are candidates like the others; the older name stays.
CodeCandidate = Candidate

class Message:
    """A message the core raised, as data."""

    @property
    def text(self) -> str:
        """The message as the user reads it."""
    @property
    def icon(self) -> Literal["critical", "information", "none"]:
        """How the design window would show it."""

CandidateRef = Union[None, int, Candidate]

class DesignResult:
    """The design of one member."""

    @property
    def id(self) -> str:
        """The member's id."""
    @property
    def kind(self) -> Kind:
        """'viga' or 'pilar'."""
    @property
    def series(self) -> Series:
        """'Euro' or 'Mex'."""
    @property
    def area_cm2(self) -> float:
        """Required area (cm²)."""
    @property
    def cover_cm(self) -> float:
        """Cover (cm)."""
    @property
    def width_cm(self) -> float:
        """Width (cm); of a column of more than four sides, the circumradius of its regular
        polygon."""
    @property
    def height_cm(self) -> float:
        """Height (cm)."""
    @property
    def multiple(self) -> float:
        """A beam's faces sharing the bars, or a column's sides."""
    @property
    def length_m(self) -> Optional[float]:
        """The member's length (m), or None."""
    @property
    def link_mm(self) -> float:
        """The link's diameter (mm); 0 without a link."""
    @property
    def search(self) -> Search:
        """The search that designed the member."""
    @property
    def aggregate_mm(self) -> Optional[float]:
        """The aggregate size of a code search (mm); None for the described one."""
    @property
    def candidates(self) -> Union[list[Candidate], list[CodeCandidate]]:
        """The candidates in the order of the search: Candidate rows for the described search,
        CodeCandidate rows (the preferred first) for ec2 and aci."""
    @property
    def chosen(self) -> Union[Candidate, CodeCandidate, None]:
        """The candidate the schedule takes, or None: described, the placeable one of least
        steel area at or above the required area (ties to fewer bars), and only when there is
        none the least short one, said in messages; ec2 and aci, the preferred arrangement (the
        first)."""
    @property
    def messages(self) -> list[Message]:
        """What the design run raised, in order, and the shortfall of a short chosen candidate,
        as the batch schedule's messages."""
    def candidates_dicts(self) -> Union[list[CandidateRow], list[CodeCandidateRow]]:
        """The candidates as dicts with the schedule's column names, each with the member's id
        and its mass_kg (None without a length), ready for pandas.DataFrame over many members."""
    def svg(self, candidate: CandidateRef = None, width: float = 400, height: float = 300,
            diagram: bool = False) -> bytes:
        """The section with the bars of a candidate (by default the chosen one) as SVG bytes."""
    def png(self, candidate: CandidateRef = None, width: float = 400, height: float = 300,
            diagram: bool = False) -> bytes:
        """The same drawing as PNG bytes (only when the module was built with Qt)."""
    def dxf(self, path: Union[str, "os.PathLike[str]"], candidate: CandidateRef = None) -> None:
        """Writes the drawing as DXF (only when the module was built with the DXF writer)."""
    def _repr_svg_(self) -> str:
        """The chosen candidate's section, for Jupyter."""

class DesignMany(Iterator[Union[DesignResult, ValueError]]):
    """Results of design_many(), designed one at a time as they are asked for."""

    def __iter__(self) -> "DesignMany": ...
    def __next__(self) -> Union[DesignResult, ValueError]: ...

def design(
    kind: str,
    series: str,
    area_cm2: Union[float, str, None],
    cover_cm: Union[float, str],
    width_cm: Union[float, str],
    height_cm: Union[float, str, None],
    multiple: Union[float, str, None] = None,
    id: Optional[Union[str, float]] = None,
    length_m: Optional[Union[float, str]] = None,
    *,
    search: Optional[str] = "described",
    aggregate_mm: Union[float, str, None] = 20,
    top: int = 10,
    min_diameter_mm: Optional[float] = None,
    max_spacing_mm: Optional[float] = None,
    max_diameter_mm: Optional[float] = None,
    concrete: Union[str, float, None] = None,
    steel_mpa: Optional[float] = None,
    n_ed_kn: Optional[float] = None,
    my_ed_knm: Optional[float] = None,
    mz_ed_knm: Optional[float] = None,
    link_mm: Optional[float] = None,
) -> DesignResult:
    """Designs one member; bad arguments raise ValueError with the batch program's text, naming
    each faulty field ('campo cover_cm: …').

    multiple is a beam's number of faces sharing the bars (1…10, 1 when left out) or a column's
    number of sides (4…10, 4 when left out). A column of more than four sides is the regular
    polygon whose circumradius is width_cm (its height is not used).

    search 'described' lists one diameter per row; 'ec2' or 'aci' lists the arrangements that
    meet the clear spacing of EN 1992-1-1 or ACI 318 for the aggregate size aggregate_mm
    (0 < d_g ≤ 250), the preferred first, at most top rows (0…2000, 0: all), with bars of at
    least min_diameter_mm (None: 10 in a beam, 12 in a column) and centres at most
    max_spacing_mm apart (None: 300), at most max_diameter_mm (None: the series' largest), for
    the concrete (a class 'C30/37' or fck / f'c in MPa; None: C25/30 under EN, 28 MPa under ACI)
    and steel_mpa (fyk / fy; None: 500 or 420). When nothing fits there is no row and a message
    ('no cabe: como máximo …').

    link_mm is the diameter of the link round the bars, one of the series' sizes (None or 0: no
    link): the cover is then to its outer face, the bars lie inside it with its corner bars in
    its bends, and each candidate's dict has link, crossties and link_spacing_mm. A link that is
    none of the series' sizes, or that leaves no room inside the cover, raises ValueError."""

def design_many(
    rows: Iterable[Mapping[str, Any]],
    return_errors: bool = False,
    *,
    search: str = "described",
    aggregate_mm: float = 20,
    top: int = 10,
    min_diameter_mm: Optional[float] = None,
    max_spacing_mm: Optional[float] = None,
    max_diameter_mm: Optional[float] = None,
    concrete: Union[str, float, None] = None,
    steel_mpa: Optional[float] = None,
    workers: int = 1,
) -> DesignMany:
    """Designs members given as dicts with the batch program's column names, lazily.

    The keyword options are the run's, as tresol-batch's options of those names; a row's own
    search and aggregate_mm fields, when filled, take their place for that row. A bad member
    raises ValueError naming it and the field ('Miembro 3, campo cover_cm: …'; rows are
    numbered 1, 2, … as tresol-batch numbers the members of a JSON file, while it names a CSV
    file's rows by their line) and ends the iteration; with return_errors=True the ValueError is
    yielded in its place.

    workers > 1 designs on that many threads at once, up to four rows per worker read ahead of
    the result asked for; the results are the same and come in the same order. design() and
    design_many() let other Python threads run while a member is designed."""

def catalogue(series: str) -> list[Bar]:
    """The bars of a series ('Euro' or 'Mex'): reference, diameter_mm and area_cm2."""

def section_properties(points: Iterable[Sequence[float]]) -> SectionProperties:
    """Area, centroid (y, z) and second moments about the centroidal axes of a polygon.

    points are (y, z) pairs, closed if they are not; iy is about the y axis (∫z² dA), iz about
    the z axis (∫y² dA). A clockwise contour gives negated area and moments."""

def interaction(result: DesignResult, candidate: CandidateRef = None,
                angle_deg: Optional[float] = None) -> Tuple[list[float], list[float]]:
    """The interaction curve of a candidate (by default the chosen one) of a member designed with
    actions, as (N, M) lists in kN and kN·m, closed, in the plane of the design moment or at
    angle_deg."""
