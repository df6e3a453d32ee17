"""What a newly loaded library does: each test runs a fresh interpreter."""


def test_first_query_makes_the_editor_with_its_defaults(fresh):
    out = fresh("print(Holloform.query_int(Holloform.IntGridLevels))")
    assert out.split() == ["3"]


def test_first_set_is_kept(fresh):
    out = fresh(
        """
        Holloform.set_int(Holloform.IntGridLevels, 5)
        print(Holloform.query_int(Holloform.IntGridLevels))
        """
    )
    assert out.split() == ["5"]


def test_export_without_a_callable_sends_nothing(fresh):
    out = fresh(
        """
        Holloform.set_bool(Holloform.BoolD_OutsideSolid, 1)
        Holloform.do_action(Holloform.ActionNewClearGrid)
        Holloform.do_action(Holloform.ActionExportDisplayBoxAsSquares)
        print("done")
        """
    )
    assert out.split() == ["done"]


def test_a_callable_set_before_the_editor_exists_receives_the_export(fresh):
    out = fresh(
        """
        calls = []
        Holloform.set_vertex3_func(lambda *corner: calls.append(corner))
        Holloform.do_action(Holloform.ActionExportDisplayBoxAsSquares)
        print(len(calls) > 0, len(calls) % 4, {type(v) for c in calls for v in c} == {float})
        """
    )
    assert out.split() == ["True", "0", "True"]
