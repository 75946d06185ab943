import ast
import os

import tresol

# The stubs beside the module imported: the build's copy, or those an installation holds.
_here, _module = os.path.split(tresol.__file__)
STUBS = os.path.join(_here, _module.split(".")[0] + ".pyi")


def test_stubs_name_every_public_function_class_and_member():
    tree = ast.parse(open(STUBS, encoding="utf-8").read())
    stubbed = {}
    for node in tree.body:
        if isinstance(node, ast.FunctionDef):
            stubbed[node.name] = None
        elif isinstance(node, ast.ClassDef):
            stubbed[node.name] = {n.name for n in node.body if isinstance(n, ast.FunctionDef)}
        elif isinstance(node, ast.Assign) and getattr(node.value, "id", None) in stubbed:
            for target in node.targets:  # another name for a class
                stubbed[target.id] = stubbed[node.value.id]
    for name in dir(tresol):
        obj = getattr(tresol, name)
        if name.startswith("_") or not callable(obj):
            continue
        assert name in stubbed, name
        if isinstance(obj, type) and not issubclass(obj, BaseException):
            public = {m for m in vars(obj) if not m.startswith("_")}
            assert public <= stubbed[name], (name, public - stubbed[name])
