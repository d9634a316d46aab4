# The extension module quelm under an ordinary python3: the same bindings as
# quelmhost script, imported.
import array
import gc
import os

import pytest

import quelm

LENGTH = 292024141  # quantity code of lengths


def test_application_answers():
    assert quelm.version().count(".") == 3
    assert isinstance(quelm.registryKey(), str)
    assert quelm.lookupOption("noSuchOption", 7) == 7
    assert quelm.lookupOption("noSuchOption", 2.5) == 2.5
    assert quelm.lookupOption("noSuchOption", "x") == "x"
    assert quelm.lookupOption("noSuchOption", True) is True
    with pytest.raises(quelm.ScriptError):
        quelm.lookupOption("noSuchOption", None)


def test_no_op_calls_for_the_bridge_benchmark():
    assert quelm._emptyFunction() is None
    s = quelm.OptionsStore()
    assert s.ping() is None
    assert quelm.globalOptions().ping() is None


def test_global_options_answer_the_lookups():
    g = quelm.globalOptions()
    assert g is quelm.globalOptions()
    g.setInteger("pyLookupProbe", 42)
    assert quelm.lookupOption("pyLookupProbe", 1) == 42


def test_typed_options_with_visible_flag():
    s = quelm.OptionsStore()
    assert s.setInteger("n", 5) is True
    assert s.setInteger("n", 5) is False
    s.setDouble("d", 0.1, False)
    s.setString("t", "x", True)
    s.setBoolean("b", True)
    assert (s.getInteger("n"), s.getDouble("d"), s.getString("t"), s.getBoolean("b")) == (5, 0.1, "x", True)
    assert s.getInteger("missing", 9) == 9
    assert s.getInteger("missing") == 0
    assert s.isVisible("d") is False and s.isVisible("n") is True and s.isVisible("missing") is None
    assert sorted(s.names()) == ["b", "d", "n", "t"] and len(s) == 4
    assert s.get("d") == 0.1 and s.get("missing") is None


def test_bridge_rejects_unconvertible_arguments():
    s = quelm.OptionsStore()
    with pytest.raises(quelm.ScriptError) as e:
        s.setInteger("n", "abc")
    assert (e.value.source, e.value.description) == ("setInteger", "Optional arg must be integer")
    with pytest.raises(quelm.ScriptError) as e:
        s.setBoolean("b", True, "maybe")
    assert e.value.description == "Optional arg must be boolean"
    with pytest.raises(quelm.ScriptError):
        s.setDouble("d", None)
    with pytest.raises(ValueError):
        s.setInteger("n", 2**70)
    with pytest.raises(TypeError):
        s.setInteger("n", object())
    # Ints cross as 32-bit VARIANTs while they fit, as 64-bit ones beyond.
    s.setInteger("lo", -2**31)
    assert s.getInteger("lo") == -2**31
    with pytest.raises(quelm.ScriptError):
        s.setInteger("hi", 2**31)
    s.setDouble("big", 2**40 + 1)
    assert s.getDouble("big") == 2**40 + 1
    # Numbers written as text convert as automation converts them.
    s.setInteger("n", "12")
    assert s.getInteger("n") == 12
    assert len(s) == 3


def test_generate_script_quotes_any_text():
    s = quelm.OptionsStore()
    s.setString("t", 'say "hi"', True)
    s.setInteger("hidden", 1, False)
    assert s.generateScript() == ['setString "t" "say ""hi""" true']
    assert len(s.generateScript(True)) == 2


def test_texts_cross_byte_for_byte():
    # Bytes that are not UTF-8 cross as the lone surrogates of
    # surrogateescape, as Python crosses file names; bytes are taken as they are.
    s = quelm.OptionsStore()
    raw = b"\xe9a\xc3\xa9\xed\xa0\x80\xff"
    text = raw.decode("utf-8", "surrogateescape")
    assert text == "\udce9a\u00e9\udced\udca0\udc80\udcff"
    s.setString(text, text)
    assert s.getString(text) == text and s.names() == [text]
    s.setString(raw, raw + b"!")
    assert s.getString(raw) == text + "!"
    assert s.getString("missing", raw) == text
    assert s.generateScript() == ['setString "' + text + '" "' + text + '!" true']
    assert quelm.lookupOption("noSuchOption", text) == text
    # Other lone surrogates stand for no byte.
    with pytest.raises(UnicodeEncodeError):
        s.setString("t", "\ud800")
    with pytest.raises(TypeError):
        s.getString("\ud800")


def test_store_made_for_the_script_goes_with_its_last_reference():
    gc.collect()
    before = quelm.OptionsStore.liveCount()
    s = quelm.OptionsStore()
    alias = s
    assert quelm.OptionsStore.liveCount() == before + 1
    del s
    assert quelm.OptionsStore.liveCount() == before + 1
    del alias
    gc.collect()
    assert quelm.OptionsStore.liveCount() == before


def test_wrapper_of_a_closed_model_is_dead(tmp_path):
    path = str(tmp_path / "m.qob")
    model = quelm.Model(path)
    o = model.options
    assert model.options is o
    o.setString("name", "v\u00e9", True)
    model.save()
    model.close()
    assert not o.alive
    with pytest.raises(ReferenceError, match="the object no longer exists"):
        o.getString("name")
    with pytest.raises(ReferenceError, match="the object no longer exists"):
        o.ping()
    again = quelm.Model(path)
    assert again.options.getString("name") == "v\u00e9"


def test_entry_conversion_with_unit_sets():
    assert quelm.textToReal("2*3") == 6.0
    assert quelm.textToReal("5' 6\"", LENGTH, "lbf,ft,lb,s,F") == 5.5
    assert quelm.textToReal("5' 6\"", LENGTH, "lbf,in,lb,s,F") == 66.0
    with pytest.raises(quelm.ScriptError) as e:
        quelm.textToReal("2*", 0)
    assert e.value.source == "textToReal"
    with pytest.raises(quelm.ScriptError):
        quelm.textToReal("1", 0, "not,a,unit,set,x")
    # The unit set lasts for the call only.
    with pytest.raises(quelm.ScriptError):
        quelm.textToReal("5' 6\"", LENGTH)
    assert quelm.numberToText(0.1 + 0.2, 17) == "0.30000000000000004"
    assert quelm.numberToText(1 / 3, 3) == "0.333"


def test_object_files_both_forms(tmp_path):
    recs = [("O", "KThing", "a"), ("I", "n", [1, -2]), ("L", "l", [3]), ("R", "r", [0.5]),
            ("S", "s\udcff", ["", "\u00fc", "\udce9\udc80"]), ("B", "b", [False]), ("C", "c", "x\udcfe"),
            ("E", "KThing", "a")]
    for form in ("text", "binary"):
        path = str(tmp_path / ("f." + form))
        quelm.writeObjectFile(path, recs, form=form, level=3, application=7, mode=2)
        f = quelm.readObjectFile(path)
        assert (f["form"], f["level"], f["application"], f["mode"]) == (form, 3, 7, 2)
        assert f["records"] == recs
        with pytest.raises(ValueError):
            quelm.writeObjectFile(path, recs[:2] + [("I", "n", ["x"])])
        assert quelm.readObjectFile(path)["records"] == recs
    with pytest.raises(ValueError):
        quelm.writeObjectFile(str(tmp_path / "g"), recs, form="xml")
    # Reals as one array of doubles; every other tag keeps its list.
    many = [i / 7 for i in range(1000)] + [-1e300, 5e-324]
    path = str(tmp_path / "reals")
    for form, level in (("text", 1), ("binary", 0), ("binary", 1)):
        quelm.writeObjectFile(path, [("O", "K", "m"), ("R", "r", many), ("R", "none", []), ("I", "n", [4]),
                                     ("R", "one", [2.5]), ("E", "K", "m")], form=form, level=level)
        arrays = quelm.readObjectFile(path, reals="array")["records"][1:5]
        assert [type(v).__name__ for _, _, v in arrays] == ["array", "array", "list", "array"]
        assert arrays[0][2].typecode == "d" and arrays[0][2].tolist() == many
        assert len(arrays[1][2]) == 0 and arrays[2][2] == [4] and arrays[3][2].tolist() == [2.5]
        assert quelm.readObjectFile(path)["records"][1][2] == many
        # Or into buffers of the caller's making, exactly one per attribute.
        made = []
        def make(n):
            made.append(n)
            return array.array("d", bytes(8 * n))
        buffers = quelm.readObjectFile(path, reals=make)["records"]
        assert made == [len(many), 0, 1] and buffers[1][2].tolist() == many and buffers[4][2].tolist() == [2.5]
    for wrong in (lambda n: bytearray(8 * n), lambda n: array.array("d", bytes(8 * n + 8)), lambda n: None,
                  lambda n: array.array("f", bytes(4 * n))):
        with pytest.raises((ValueError, TypeError)):
            quelm.readObjectFile(path, reals=wrong)
    # A file is read by its objects: records outside one are refused, not
    # written into a file that cannot be read back.
    for bad in ([("R", "r", [1.0])], [("O", "K", "m"), ("E", "K", "m"), ("I", "n", [1])], [("E", "K", "m")]):
        with pytest.raises(ValueError):
            quelm.writeObjectFile(path, bad)
        assert quelm.readObjectFile(path)["records"][1][2] == many
    with pytest.raises(ValueError):
        quelm.readObjectFile(path, reals="tuple")
    with pytest.raises(OSError):
        quelm.readObjectFile(str(tmp_path / "none"))
    with pytest.raises(OSError):
        quelm.writeObjectFile(str(tmp_path / "open"), [("O", "KThing", "a")])
    assert not (tmp_path / "open").exists()


# LeakSanitizer reports what numpy's extension modules keep from their
# import on: the sanitized run leaves numpy out.
@pytest.mark.skipif(os.environ.get("QUELM_SKIP_NUMPY") == "1", reason="numpy under LeakSanitizer")
def test_reals_into_numpy_arrays(tmp_path):
    numpy = pytest.importorskip("numpy")
    path = str(tmp_path / "reals")
    many = [i / 3 for i in range(5000)]
    quelm.writeObjectFile(path, [("O", "K", "m"), ("R", "r", many), ("E", "K", "m")], form="binary", level=0)
    values = quelm.readObjectFile(path, reals=numpy.empty)["records"][1][2]
    assert isinstance(values, numpy.ndarray) and numpy.array_equal(values, many)


def test_matrices_as_nested_lists():
    m = quelm.Matrix2([[1, 2], [3, 4]])
    assert m.toVariant() == [[1.0, 2.0], [3.0, 4.0]]
    assert m.at(1, 0) == 3.0 and m.determinant() == -2.0
    m.set(0, 1, 5)
    assert m.toVariant()[0] == [1.0, 5.0]
    with pytest.raises(IndexError):
        m.at(2, 0)
    with pytest.raises(ValueError):
        quelm.Matrix3([[1, 2], [3, 4]])
    with pytest.raises(quelm.ScriptError):
        quelm.Matrix3([[1, 2, 3], [2, 4, 6], [0, 0, 1]]).invert()
    assert quelm.Matrix3().toVariant() == [[0.0] * 3] * 3
