// The bridge program the office sessions run (Python, with the office's UNO binding).
#include "platform/automation/officeSession.h"

namespace office {

extern const char* const kBridgeScript;
const char* const kBridgeScript =
    R"PY(# The office bridge: starts a headless office with the private profile it is given,
# connects to it and carries out one command per input line (a JSON object), answering
# each with one JSON line {"ok": true, "result": ...} or {"ok": false, "error": "..."}.
import json
import os
import shutil
import signal
import stat
import subprocess
import sys
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.connection import NoConnectException

HMM_PER_PT = 2540.0 / 72.0


def pv(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


LINKS = os.path.join(os.path.dirname(os.path.abspath(sys.argv[0])), "names")
link_count = [0]


def url(path):
    try:
        path.encode("utf-8")
    except UnicodeEncodeError:
        # A name of other bytes (GBK, say) came as escapes; the office reads the file
        # through a link of a safe name in the session's folder.
        ext = os.path.splitext(path)[1]
        ext = ext if ext.isascii() else ""
        link_count[0] += 1
        link = os.path.join(LINKS, "name%d%s" % (link_count[0], ext))
        os.symlink(os.fsencode(os.path.abspath(path)), os.fsencode(link))
        path = link
    return uno.systemPathToFileUrl(os.path.abspath(path))


def store(d, path, args):
    try:
        path.encode("utf-8")
    except UnicodeEncodeError:
        # The office cannot write through a link to a file that is not there yet: a name
        # of other bytes is written under a safe name in the session's folder and then
        # moved to its own name.
        ext = os.path.splitext(path)[1]
        ext = ext if ext.isascii() else ""
        link_count[0] += 1
        safe = os.path.join(LINKS, "out%d%s" % (link_count[0], ext))
        d.storeToURL(uno.systemPathToFileUrl(safe), args)
        shutil.move(os.fsencode(safe), os.fsencode(os.path.abspath(path)))
        return
    d.storeToURL(uno.systemPathToFileUrl(os.path.abspath(path)), args)


def hmm(points):
    return int(round(points * HMM_PER_PT))


class Bridge:
    def __init__(self, soffice, profile, pipe):
        self.docs = {}
        self.next_id = 1
        self.pipe = pipe
        self.desktop = None
        self.proc = subprocess.Popen(
            [soffice, "--headless", "--invisible", "--nologo", "--norestore", "--nodefault",
             "--nolockcheck", "--nofirststartwizard", "-env:UserInstallation=" + profile,
             "--accept=pipe,name=" + pipe + ";urp;StarOffice.ComponentContext"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def connect(self):
        if self.desktop is not None:
            return
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        # As long as the office runs: how long its start may take without getting on is
        # the program's to judge, by its no-progress limit, as for every other step.
        while True:
            try:
                ctx = resolver.resolve("uno:pipe,name=" + self.pipe + ";urp;StarOffice.ComponentContext")
                break
            except NoConnectException:
                if self.proc.poll() is not None:
                    raise RuntimeError("the office program ended before it could be reached")
                time.sleep(0.01)
        self.ctx = ctx
        self.smgr = ctx.ServiceManager
        self.desktop = self.smgr.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)

    # ---------------------------------------------------------------- documents
    def add(self, doc):
        i = self.next_id
        self.next_id += 1
        self.docs[i] = doc
        return i

    def doc(self, i):
        d = self.docs.get(i)
        if d is None:
            raise RuntimeError("no such document")
        return d

    # The document kind each application opens, and the filters by which the office
    # reads any file at all (as plain text or separated values): a file that only
    # these can read is no document of the application's kind.
    KINDS = {"text": "com.sun.star.text.TextDocument",
             "sheet": "com.sun.star.sheet.SpreadsheetDocument",
             "presentation": "com.sun.star.presentation.PresentationDocument"}
    ANY_FILE_FILTERS = ("Text", "Text (encoded)", "Text (StarWriter/Web)", "Text - txt - csv (StarCalc)")

    def check_kind(self, d, path, kind):
        used = ""
        for a in d.getArgs():
            if a.Name == "FilterName":
                used = a.Value
        if not d.supportsService(self.KINDS[kind]) or used in self.ANY_FILE_FILTERS:
            self.close_doc(d)
            raise RuntimeError("the document cannot be opened: " + path + " (not a document of this kind)")

    @staticmethod
    def close_doc(d):
        try:
            d.close(True)
        except Exception:
            d.dispose()

    def op_load(self, path, readonly=True, filter=None, options=None, kind=None):
        if not os.path.isfile(path):
            raise RuntimeError("file not found: " + path)
        if not os.access(path, os.R_OK):
            raise RuntimeError("the document cannot be opened: " + path + " (permission denied)")
        if kind and os.path.getsize(path) == 0:
            raise RuntimeError("the document cannot be opened: " + path + " (the file is empty)")
        self.connect()
        args = [pv("Hidden", True), pv("ReadOnly", bool(readonly)), pv("MacroExecutionMode", 0),
                pv("UpdateDocMode", 0), pv("Password", "")]
        if filter:
            args.append(pv("FilterName", filter))
        if options:
            args.append(pv("FilterOptions", options))
        try:
            d = self.desktop.loadComponentFromURL(url(path), "_blank", 0, tuple(args))
        except Exception as e:
            d, why = None, str(getattr(e, "Message", e))
        else:
            why = ""
        if d is None:
            # Whether it needs a password the program looks at itself.
            raise RuntimeError("the document cannot be opened: " + path + (" (" + why + ")" if why else ""))
        if kind:
            self.check_kind(d, path, kind)
        return self.add(d)

    def op_close(self, id):
        d = self.docs.pop(id, None)
        if d is not None:
            try:
                d.close(True)
            except Exception:
                d.dispose()

    # ---------------------------------------------------------------- page styles
    @staticmethod
    def turn_style(style, landscape):
        w, h = style.Width, style.Height
        if (w > h) != landscape:
            style.Width, style.Height = h, w
        style.IsLandscape = landscape

    def page_styles(self, d):
        fam = d.StyleFamilies.getByName("PageStyles")
        return [fam.getByName(n) for n in fam.ElementNames]

    def op_writer_orientation(self, id, landscape):
        for s in self.page_styles(self.doc(id)):
            self.turn_style(s, landscape)

    def op_writer_pagesetup(self, id):
        d = self.doc(id)
        cur = d.Text.createTextCursor()
        cur.gotoStart(False)
        s = d.StyleFamilies.getByName("PageStyles").getByName(cur.PageStyleName)
        return [s.Width / HMM_PER_PT, s.Height / HMM_PER_PT]

    def op_calc_sheets(self, id):
        d = self.doc(id)
        names = list(d.Sheets.ElementNames)
        active = 0
        try:
            active = names.index(d.CurrentController.ActiveSheet.Name)
        except Exception:
            pass
        return [names, active]

    def op_calc_orientation(self, id, index, landscape):
        d = self.doc(id)
        sheet = d.Sheets.getByIndex(index)
        self.turn_style(d.StyleFamilies.getByName("PageStyles").getByName(sheet.PageStyle), landscape)

    def op_impress_size(self, id):
        p = self.doc(id).DrawPages.getByIndex(0)
        return [p.Width / HMM_PER_PT, p.Height / HMM_PER_PT]

    def op_impress_orientation(self, id, landscape):
        d = self.doc(id)
        for pages in (d.MasterPages, d.DrawPages):
            for i in range(pages.Count):
                p = pages.getByIndex(i)
                w, h = p.Width, p.Height
                if (w > h) != landscape:
                    p.Width, p.Height = h, w

    # ---------------------------------------------------------------- output
    def op_export_pdf(self, id, path, filter, pages=None, sheets=None):
        d = self.doc(id)
        if sheets is not None:
            names = list(d.Sheets.ElementNames)
            keep = [names[i] for i in sheets]
            # the sheets to print first, in their order; then the others go
            for n in names:
                if n not in keep:
                    d.Sheets.removeByName(n)
        fd = []
        if pages:
            fd.append(pv("PageRange", pages))
        args = (pv("FilterName", filter),
                pv("FilterData", uno.Any("[]com.sun.star.beans.PropertyValue", tuple(fd))))
        store(d, path, args)

    def graphic(self, path):
        provider = self.smgr.createInstanceWithContext("com.sun.star.graphic.GraphicProvider", self.ctx)
        g = provider.queryGraphic((pv("URL", url(path)),))
        if g is None:
            raise RuntimeError("the picture cannot be read: " + path)
        return g

    # A text document of pages, each with its pictures, printed to a PDF file.
    # page: width, height, margins (points); pages: [[{file, left, top, width, height,
    # hcenter, vcenter}, ...], ...]; sizes in points.
    def op_writer_pictures(self, path, page, pages):
        self.connect()
        d = self.desktop.loadComponentFromURL("private:factory/swriter", "_blank", 0, (pv("Hidden", True),))
        try:
            from com.sun.star.text.ControlCharacter import PARAGRAPH_BREAK
            from com.sun.star.style.BreakType import PAGE_BEFORE
            from com.sun.star.text.TextContentAnchorType import AT_PARAGRAPH
            from com.sun.star.text.WrapTextMode import THROUGH
            for s in self.page_styles(d):
                s.Width, s.Height = hmm(page["width"]), hmm(page["height"])
                s.IsLandscape = page["width"] > page["height"]
                s.TopMargin, s.BottomMargin = hmm(page["top"]), hmm(page["bottom"])
                s.LeftMargin, s.RightMargin = hmm(page["left"]), hmm(page["right"])
            text = d.Text
            cur = text.createTextCursor()
            for i in range(1, len(pages)):
                cur.gotoEnd(False)
                text.insertControlCharacter(cur, PARAGRAPH_BREAK, False)
                cur.gotoEnd(False)
                cur.BreakType = PAGE_BEFORE
            # one paragraph per page; each page's pictures hang on its paragraph
            paragraphs = []
            walk = text.createEnumeration()
            while walk.hasMoreElements():
                paragraphs.append(walk.nextElement())
            for n, pics in enumerate(pages):
                for p in pics:
                    shape = d.createInstance("com.sun.star.text.TextGraphicObject")
                    shape.Graphic = self.graphic(p["file"])
                    shape.AnchorType = AT_PARAGRAPH
                    shape.Surround = THROUGH
                    shape.Opaque = True
                    shape.HoriOrientRelation = 7  # the page
                    shape.VertOrientRelation = 7
                    size = shape.Size
                    size.Width, size.Height = hmm(p["width"]), hmm(p["height"])
                    shape.Size = size
                    if p["hcenter"]:
                        shape.HoriOrient = 2
                    else:
                        shape.HoriOrient = 0
                        shape.HoriOrientPosition = hmm(p["left"])
                    if p["vcenter"]:
                        shape.VertOrient = 2
                    else:
                        shape.VertOrient = 0
                        shape.VertOrientPosition = hmm(p["top"])
                    text.insertTextContent(paragraphs[n].getStart(), shape, False)
            store(d, path, (pv("FilterName", "writer_pdf_Export"),))
        finally:
            d.close(True)

    # A presentation of slides, each with its pictures, saved as a PowerPoint file.
    # slide: width, height (points); slides: [[{file, left, top, width, height}], ...].
    def op_impress_build(self, path, slide, slides):
        self.connect()
        d = self.desktop.loadComponentFromURL("private:factory/simpress", "_blank", 0, (pv("Hidden", True),))
        try:
            pages = d.DrawPages
            for k in range(1, len(slides)):
                pages.insertNewByIndex(k - 1)
            for group in (d.MasterPages, pages):
                for i in range(group.Count):
                    p = group.getByIndex(i)
                    p.Width, p.Height = hmm(slide["width"]), hmm(slide["height"])
                    p.BorderLeft = p.BorderRight = p.BorderTop = p.BorderBottom = 0
            for i in range(pages.Count):
                p = pages.getByIndex(i)
                p.Layout = 20  # no placeholders
                while p.Count:
                    p.remove(p.getByIndex(0))
            for n, pics in enumerate(slides):
                page = pages.getByIndex(n)
                for q in pics:
                    shape = d.createInstance("com.sun.star.drawing.GraphicObjectShape")
                    page.add(shape)
                    shape.Graphic = self.graphic(q["file"])
                    pos = shape.Position
                    pos.X, pos.Y = hmm(q["left"]), hmm(q["top"])
                    shape.Position = pos
                    size = shape.Size
                    size.Width, size.Height = hmm(q["width"]), hmm(q["height"])
                    shape.Size = size
            store(d, path, (pv("FilterName", "MS PowerPoint 97"), pv("Overwrite", True)))
        finally:
            d.close(True)

    def op_quit(self):
        for i in list(self.docs):
            try:
                self.op_close(i)
            except Exception:
                pass
        if self.desktop is None and self.proc.poll() is None:
            # still starting: an office that is asked nothing still has to be ended
            try:
                self.connect()
            except Exception:
                pass
        if self.desktop is not None:
            try:
                self.desktop.terminate()
            except Exception:
                pass
        try:
            self.proc.wait(timeout=30)
        except Exception:
            self.proc.kill()


SOCKETS = []  # the office's sockets in the shared temporary folder, which a kill leaves


def end_group(*_):
    # Our program has ended: the office goes with us, the whole group at once, and its
    # sockets with it (ours only: a socket, of this user).
    for path in SOCKETS:
        try:
            st = os.lstat(path)
            if stat.S_ISSOCK(st.st_mode) and st.st_uid == os.geteuid():
                os.unlink(path)
        except OSError:
            pass
    os.killpg(os.getpgrp(), signal.SIGKILL)


def main():
    soffice, profile, pipe = sys.argv[1:4]
    SOCKETS.extend(sys.argv[4:])
    signal.signal(signal.SIGTERM, end_group)
    b = Bridge(soffice, profile, pipe)
    out = sys.stdout
    for line in sys.stdin:
        line = line.strip()
        if not line:
            continue
        op = None
        try:
            req = json.loads(line)
            op = req.pop("op")
            res = getattr(b, "op_" + op)(**req)
            reply = {"ok": True, "result": res}
        except Exception as e:
            msg = getattr(e, "Message", None) or str(e) or type(e).__name__
            reply = {"ok": False, "error": msg}
        out.write(json.dumps(reply, ensure_ascii=False) + "\n")
        out.flush()
        if op == "quit":
            return
    b.op_quit()


main()
)PY";

}  // namespace office
