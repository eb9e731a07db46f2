#!/usr/bin/env python3
"""Turns the C++ fragments of a Markdown guide into one translation unit, so a build proves that
they compile. Each "## " section becomes a namespace of its own. A fragment fenced as "cpp top" is
file-scope code (functions, types) and is copied as it stands; one fenced as plain "cpp" is a run of
statements and becomes the body of a function of its own. Fragments see every public header, and
file-scope fragments of their section that come before them.

usage: guide_fragments.py GUIDE.md OUT.cpp"""
import re
import sys

PRELUDE = """// Generated from {guide} by guide_fragments.py: do not edit.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/tqlog.h"
#include "device/tqgfxdevice.h"
#include "device/tqgfxparticlesystem.h"
#include "device/tqgfxsprite.h"
#include "engine/tq2dapi.h"
#include "engine/tq2danimation.h"
#include "engine/tq2dmusic.h"
#include "engine/tq2dpack.h"
#include "engine/tq2dparticle.h"
#include "engine/tq2dparticlemanager.h"
#include "engine/tq2dsound.h"
#include "engine/tq2dsprite.h"
#include "engine/tq2dtarget.h"
#include "engine/tq2dtexture.h"
#include "gui/tq2dguicombobox.h"
#include "gui/tq2dguidatalist.h"
#include "gui/tq2dguiedit.h"
#include "gui/tq2dguiscrollbar.h"
#include "gui/tq2dguistatic.h"
#include "gui/tq2dguiwindow.h"
#include "gui/tq2dtextout.h"
#include "helpers/tqgfxfont.h"
#include "helpers/tqgfxgui.h"
#include "helpers/tqgfxguibutton.h"
#include "helpers/tqgfxguislider.h"
#include "helpers/tqgfxguitext.h"
#include "helpers/tqgfxresourcemanager.h"
#include "platform/gdi32/tqgdi32.h"
#include "platform/win32/tquser32.h"

#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-variable"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
"""


def sections(lines):
    """(section title, [(kind, first line number, code lines)]) for each "## " section."""
    title, fragments, fence, code, start = "preface", [], None, [], 0
    result = []
    for number, line in enumerate(lines, 1):
        if fence is None:
            if line.startswith("## "):
                result.append((title, fragments))
                title, fragments = line[3:].strip(), []
            match = re.match(r"^```cpp\b\s*(\w*)", line)
            if match:
                fence, code, start = match.group(1) or "statements", [], number + 1
        elif line.startswith("```"):
            fragments.append((fence, start, code))
            fence = None
        else:
            code.append(line)
    result.append((title, fragments))
    return result


def main(guide, out):
    with open(guide, encoding="utf-8") as text:
        lines = text.read().splitlines()
    parts = [PRELUDE.format(guide=guide.rsplit("/", 1)[-1])]
    for index, (title, fragments) in enumerate(sections(lines)):
        if not fragments:
            continue
        parts.append(f"\n// ---- {title}\nnamespace guide_section_{index} {{\n")
        for fence, start, code in fragments:
            if fence not in ("top", "statements"):
                sys.exit(f"{guide}:{start - 1}: unknown fragment kind '{fence}'")
            body = "\n".join(code)
            where = f'#line {start} "{guide}"\n'
            if fence == "top":
                parts.append(where + body + "\n")
            else:
                parts.append(f"[[maybe_unused]] int Fragment{start}() {{\n{where}{body}\nreturn 0;\n}}\n")
        parts.append(f"}} // namespace guide_section_{index}\n")
    with open(out, "w", encoding="utf-8") as result:
        result.write("".join(parts))


if __name__ == "__main__":
    main(*sys.argv[1:])
