"""The file formats a workbook can be saved in."""

# Each format's name, and the library's number for it (xlExcel5, xlExcel8).
FORMAT_NUMBERS = {"biff5": 39, "biff8": 56}
FILE_FORMATS = tuple(FORMAT_NUMBERS)


def check_file_format(file_format: str) -> int:
    """Return the library's number of file_format, or raise ValueError."""
    try:
        return FORMAT_NUMBERS[file_format]
    except (KeyError, TypeError):
        raise ValueError(
            f"file_format {file_format!r} is not one of {', '.join(FORMAT_NUMBERS)}"
        ) from None
