"""Cell naming shared by the reader checks."""


def column_name(col):
    """The letters of a zero-based column: 0 -> A, 26 -> AA."""
    name = ""
    col += 1
    while col:
        col, rest = divmod(col - 1, 26)
        name = chr(ord("A") + rest) + name
    return name
