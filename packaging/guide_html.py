"""The user's guide as a web page for the packages: the Markdown rendered by
cmark-gfm (GitHub's tables), wrapped in a page of its own, with the pictures
it shows copied beside it, and the JSON Schemas of linkora's documents with
it. Nothing is fetched: the page needs no network."""

import html
import re
import shutil
import subprocess
import sys
from pathlib import Path

from binaries import write_text

PAGE = """<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title}</title>
<style>
body {{ font-family: "Segoe UI", Tahoma, "DejaVu Sans", sans-serif; line-height: 1.45;
       max-width: 60em; margin: 1em auto; padding: 0 1em; color: #1b1b1b; }}
table {{ border-collapse: collapse; margin: 0.5em 0; }}
th, td {{ border: 1px solid #b8b8b8; padding: 0.25em 0.5em; text-align: left;
         vertical-align: top; }}
th {{ background: #ececec; }}
code, pre {{ font-family: Consolas, "DejaVu Sans Mono", monospace; background: #f3f3f3; }}
pre {{ padding: 0.5em; overflow-x: auto; }}
img {{ max-width: 100%; }}
</style>
</head>
<body>
{body}</body>
</html>
"""


def slug(heading):
    """The anchor GitHub gives a heading, which the guide's own links use."""
    text = re.sub(r"<[^>]+>", "", html.unescape(heading)).strip().lower()
    return re.sub(r"[^\w\- ]", "", text).replace(" ", "-")


def with_anchors(rendered):
    """Headings with the ids the links to them name; cmark gives them none."""
    return re.sub(r"<h([1-6])>(.*?)</h\1>",
                  lambda m: f'<h{m[1]} id="{slug(m[2])}">{m[2]}</h{m[1]}>', rendered)


def write_guide(markdown, folder, name="user-guide.html"):
    """Writes folder/name and the pictures it shows; returns the names of
    the files written, the page first."""
    markdown = Path(markdown)
    folder = Path(folder)
    text = markdown.read_text(encoding="utf-8")
    rendered = subprocess.run(["cmark-gfm", "--extension", "table", "--extension", "autolink"],
                              input=text, capture_output=True, text=True, check=True).stdout
    rendered = with_anchors(rendered)
    title = re.search(r"^# (.+)$", text, re.M)
    page = PAGE.format(title=html.escape(title.group(1) if title else markdown.stem),
                       body=rendered)
    written = [name]
    for source in re.findall(r'<img src="([^"]+)"', rendered):
        if "/" in source or ":" in source:
            sys.exit(f"guide_html: {markdown} shows {source}; only pictures beside it can ship")
        shutil.copyfile(markdown.parent / source, folder / source)
        (folder / source).chmod(0o644)
        written.append(source)
    for target in re.findall(r'<a href="([^"#:]+)"', rendered):
        sys.exit(f"guide_html: {markdown} links to {target}, which the packages do not hold")
    for anchor in re.findall(r'<a href="#([^"]+)"', rendered):
        if f'id="{anchor}"' not in rendered:
            sys.exit(f"guide_html: {markdown} links to #{anchor}, a heading it does not have")
    write_text(folder / name, page)
    return written


def copy_schemas(source, folder):
    """Copies the JSON Schemas of linkora's documents beside the guide, which
    names them; returns their names."""
    names = []
    for schema in sorted(Path(source).glob("*.schema.json")):
        shutil.copyfile(schema, Path(folder) / schema.name)
        (Path(folder) / schema.name).chmod(0o644)
        names.append(schema.name)
    return names
