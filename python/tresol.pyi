"""Tresol: longitudinal bars of reinforced-concrete beams and columns."""

import os
from typing import Any, Iterable, Iterator, Literal, Mapping, Optional, Sequence, Tuple, TypedDict, Union

Kind = Literal["viga", "pilar"]
Series = Literal["Euro", "Mex"]

class InternalError(RuntimeError):
    """A broken contract inside the core: a fault of Tresol's, reported rather than fatal."""

class CandidateDict(TypedDict):
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
    """One arrangement of bars for a member: a line of the schedule."""

    @property
    def candidate(self) -> int:
        """Its number, 1…k, in the order of the search."""
    @property
    def line(self) -> str:
        """The line, e.g. '5 fi 16'."""
    @property
    def bars(self) -> int:
        """Number of bars."""
    @property
    def diameter_mm(self) -> float:
        """Bar diameter (mm)."""
    @property
    def bar_area_cm2(self) -> float:
        """Area of one bar (cm²)."""
    @property
    def total_area_cm2(self) -> float:
        """Area of all the bars (cm²)."""
    @property
    def excess_pct(self) -> float:
        """Steel beyond the required area, in % of it."""
    @property
    def spacing_cm(self) -> float:
        """Spacing between bar centres (cm)."""
    @property
    def clear_spacing_cm(self) -> float:
        """Clear spacing between bars, the spacing less one diameter (cm)."""
    @property
    def placeable(self) -> bool:
        """Whether all the bars fit on the section."""
    @property
    def placed(self) -> int:
        """How many of the bars fit on the section."""
    @property
    def chosen(self) -> bool:
        """Whether the schedule takes this candidate."""
    def as_dict(self) -> CandidateDict:
        """The candidate as a dict with the schedule's column names."""

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
        """Width (cm)."""
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
    def candidates(self) -> list[Candidate]:
        """The candidates in the order of the search."""
    @property
    def chosen(self) -> Optional[Candidate]:
        """The placeable candidate of least steel area (ties to fewer bars), or None."""
    @property
    def messages(self) -> list[Message]:
        """What the design run raised, in order."""
    def candidates_dicts(self) -> list[CandidateDict]:
        """The candidates as dicts with the schedule's column names, ready for pandas.DataFrame."""
    def svg(self, candidate: CandidateRef = None, width: float = 400, height: float = 300) -> bytes:
        """The section with the bars of a candidate (by default the chosen one) as SVG bytes."""
    def png(self, candidate: CandidateRef = None, width: float = 400, height: float = 300) -> bytes:
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
    area_cm2: Union[float, str],
    cover_cm: Union[float, str],
    width_cm: Union[float, str],
    height_cm: Union[float, str, None],
    multiple: Union[float, str] = 1,
    id: Optional[Union[str, float]] = None,
    length_m: Optional[Union[float, str]] = None,
) -> DesignResult:
    """Designs one member; bad arguments raise ValueError with the batch program's text.

    multiple is a beam's number of faces sharing the bars (1…10) or a column's number of
    sides (4…10, so a column must pass it)."""

def design_many(rows: Iterable[Mapping[str, Any]], return_errors: bool = False) -> DesignMany:
    """Designs members given as dicts with the batch program's column names, lazily.

    A bad member raises ValueError naming it and the field ('Miembro 3, campo cover_cm: …')
    and ends the iteration; with return_errors=True the ValueError is yielded in its place."""

def catalogue(series: str) -> list[Bar]:
    """The bars of a series ('Euro' or 'Mex'): reference, diameter_mm and area_cm2."""

def section_properties(points: Iterable[Sequence[float]]) -> SectionProperties:
    """Area, centroid (y, z) and second moments about the centroidal axes of a polygon.

    points are (y, z) pairs, closed if they are not; iy is about the y axis (∫z² dA), iz about
    the z axis (∫y² dA). A clockwise contour gives negated area and moments."""
