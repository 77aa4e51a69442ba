# SPDX-License-Identifier: MIT
"""Reading a desktop entry as a desktop does: its main group, string escapes and the
quoting of Exec arguments."""

STRING_ESCAPES = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}


def unescape(value):
    out = []
    characters = iter(value)
    for character in characters:
        if character == "\\":
            following = next(characters, "")
            out.append(STRING_ESCAPES.get(following, "\\" + following))
        else:
            out.append(character)
    return "".join(out)


def read(path):
    """The keys of the [Desktop Entry] group, their values unescaped."""
    entries = {}
    group = None
    with open(path, encoding="utf-8") as file:
        for line in file.read().splitlines():
            if not line or line.startswith("#"):
                continue
            if line.startswith("["):
                group = line
                continue
            if group == "[Desktop Entry]":
                key, value = line.split("=", 1)
                entries[key.strip()] = unescape(value.strip())
    return entries


def exec_arguments(value):
    """The arguments of an unescaped Exec value; a field code other than %% is refused."""
    arguments = []
    current = None
    quoted = False
    characters = iter(value)
    for character in characters:
        if character == '"':
            quoted = not quoted
            current = current or ""
        elif character == " " and not quoted:
            if current is not None:
                arguments.append(current)
            current = None
        elif character == "\\" and quoted:
            following = next(characters, "")
            if following not in '"`$\\' or not following:
                raise ValueError(f"bad escape in {value!r}")
            current += following
        elif character == "%":
            following = next(characters, "")
            if following != "%":
                raise ValueError(f"field code %{following} in {value!r}")
            current = (current or "") + "%"
        else:
            current = (current or "") + character
    if quoted:
        raise ValueError(f"unclosed quote in {value!r}")
    if current is not None:
        arguments.append(current)
    return arguments
