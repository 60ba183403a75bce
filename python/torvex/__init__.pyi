# Type stubs of the torvex package (the docstrings are in __init__.py).
import concurrent.futures
import os
from typing import Any, Callable, Dict, List, Mapping, Optional, Sequence, Tuple, Union

import numpy

_Path = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]
_Array = numpy.ndarray

__version__: str
GASES: Dict[str, int]

class Error(RuntimeError):
    notes: List[str]

class BadInput(Error, ValueError): ...
class NotCalculable(Error): ...
class OutputFault(Error, OSError): ...
class Busy(Error): ...
class TorvexWarning(UserWarning): ...

class Variant:
    gas: int
    units: Dict[str, str]
    diameter: float
    length: float
    current: float
    flow: float
    used: Dict[str, Union[int, float]]
    def __init__(self, gas: Union[str, int], diameter: float, length: float, current: float, flow: float,
                 units: Optional[Mapping[str, str]] = ...) -> None: ...
    @property
    def gas_name(self) -> str: ...

class Result:
    UNITS: Dict[str, str]
    folder: str
    units: Dict[str, str]
    used: Dict[str, Union[int, float]]
    notes: List[str]
    voltage: float
    power: float
    efficiency: float
    exit_temperature: float
    exit_velocity: float
    axial: Dict[str, _Array]
    radial: List[Dict[str, Any]]
    isotherms: Dict[str, _Array]
    field: Dict[str, _Array]
    solver_seconds: Optional[float]
    def to_xarray(self) -> Any: ...

class _Job:
    notes: List[str]
    used: Dict[str, Any]
    material: Dict[str, Any]
    jet: Dict[str, Any]
    files: List[str]
    summary_text: str

class Spray(_Job):
    particles: _Array
    trajectories: Dict[str, _Array]
    samples: List[_Array]
    summary: Dict[str, Any]
    deviation_deg: float
    sensor: Dict[str, Any]
    size_classes: _Array
    def to_pandas(self) -> Any: ...

class Tune(_Job):
    steps: _Array
    chosen: Optional[int]
    unit: str
    setting: Optional[float]
    indistinct: List[int]
    indistinct_sentence: str
    csv: str

def run(variant: Variant, folder: Optional[_Path] = ..., strict: bool = ...) -> Result: ...
def load(folder: _Path) -> Result: ...
def spray(result_or_folder: Union[Result, _Path], material: str = ..., write: bool = ...,
          progress: Optional[Callable[[int], Any]] = ..., **options: Any) -> Spray: ...
def tune(result_or_folder: Union[Result, _Path], material: str = ..., write: bool = ...,
         progress: Optional[Callable[[int], Any]] = ..., **options: Any) -> Tune: ...
def study(plan: Union[Mapping[str, Any], _Path], jobs: Optional[int] = ..., out: Optional[_Path] = ...,
          progress: Optional[Callable[[int, int], Any]] = ...,
          executor: Optional[Union[concurrent.futures.Executor, Any]] = ...,
          max_variants: Optional[int] = ...) -> Union[Any, List[Dict[str, str]]]: ...
