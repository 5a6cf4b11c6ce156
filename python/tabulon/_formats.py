"""The file formats a workbook can be saved in."""

# The formats this build writes. BIFF8 joins them when the library writes it.
AVAILABLE_FORMATS = ("biff5",)
KNOWN_FORMATS = ("biff5", "biff8")


def check_file_format(file_format: str) -> str:
    """Return file_format when this build writes it, else raise ValueError."""
    if file_format in AVAILABLE_FORMATS:
        return file_format
    if file_format in KNOWN_FORMATS:
        raise ValueError(f"file_format {file_format!r} is not available in this build")
    raise ValueError(f"file_format {file_format!r} is not one of {', '.join(KNOWN_FORMATS)}")
