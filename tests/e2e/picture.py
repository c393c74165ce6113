"""Pictures orvcad exported, read through cairo (fast enough for whole pages), and where drawing points land on them."""
import ctypes

_cairo = ctypes.CDLL("libcairo.so.2")
_cairo.cairo_image_surface_create_from_png.restype = ctypes.c_void_p
_cairo.cairo_image_surface_create_from_png.argtypes = [ctypes.c_char_p]
for name in ("get_width", "get_height", "get_stride"):
    f = getattr(_cairo, "cairo_image_surface_" + name)
    f.restype = ctypes.c_int
    f.argtypes = [ctypes.c_void_p]
_cairo.cairo_image_surface_get_data.restype = ctypes.POINTER(ctypes.c_ubyte)
_cairo.cairo_image_surface_get_data.argtypes = [ctypes.c_void_p]
_cairo.cairo_surface_status.restype = ctypes.c_int
_cairo.cairo_surface_status.argtypes = [ctypes.c_void_p]
_cairo.cairo_surface_flush.argtypes = [ctypes.c_void_p]
_cairo.cairo_surface_destroy.argtypes = [ctypes.c_void_p]


class Picture:
    """A PNG file's pixels; pixel(x, y) is (r, g, b)."""

    def __init__(self, path):
        surface = _cairo.cairo_image_surface_create_from_png(path.encode())
        if _cairo.cairo_surface_status(surface) != 0:
            _cairo.cairo_surface_destroy(surface)
            raise ValueError(f"not a PNG picture: {path}")
        _cairo.cairo_surface_flush(surface)
        self.width = _cairo.cairo_image_surface_get_width(surface)
        self.height = _cairo.cairo_image_surface_get_height(surface)
        self._stride = _cairo.cairo_image_surface_get_stride(surface)
        data = _cairo.cairo_image_surface_get_data(surface)
        self._bytes = bytes(ctypes.string_at(data, self._stride * self.height))
        _cairo.cairo_surface_destroy(surface)

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            return (255, 255, 255)
        i = y * self._stride + 4 * x  # B, G, R, unused: native byte order of 0xXXRRGGBB
        b = self._bytes
        return (b[i + 2], b[i + 1], b[i])

    def pixels(self, box):
        """(x, y, rgb) of every pixel in box (x0, y0, x1, y1), ends included."""
        x0, y0, x1, y1 = box
        for y in range(max(0, y0), min(self.height - 1, y1) + 1):
            for x in range(max(0, x0), min(self.width - 1, x1) + 1):
                yield x, y, self.pixel(x, y)

    def count(self, box, wanted):
        return sum(1 for _, _, rgb in self.pixels(box) if wanted(rgb))

    def ink_box(self, box, wanted):
        """The box of the pixels in `box` for which wanted(rgb) holds, or None."""
        xs, ys = [], []
        for x, y, rgb in self.pixels(box):
            if wanted(rgb):
                xs.append(x)
                ys.append(y)
        return (min(xs), min(ys), max(xs), max(ys)) if xs else None


def inked(rgb):
    return sum(rgb) < 600


def near(colour, coverage=0.3):
    """A test for pixels that show `colour` over the white page, at least `coverage` of
    them covered (a thin antialiased line covers two rows by halves)."""
    farthest = max(range(3), key=lambda i: 255 - colour[i])
    span = 255 - colour[farthest]

    def test(rgb):
        if span == 0:
            return rgb == (255, 255, 255)
        a = (255 - rgb[farthest]) / span
        if a < coverage:
            return False
        return all(abs(rgb[i] - (a * colour[i] + (1 - a) * 255)) <= 40 for i in range(3))
    return test


class Page:
    """Where drawing points land on an exported page: drawings that hold an invisible
    frame (colour 255, white on the page) from (0, 0) to (width, height) are fitted by it."""

    def __init__(self, width=160.0, height=120.0, pixels=(1600, 1200)):
        w, h = pixels
        margin = min(w, h) * 0.025
        self.scale = min((w - 2 * margin) / width, (h - 2 * margin) / height)
        self.x0 = w / 2 - width / 2 * self.scale
        self.y0 = h / 2 + height / 2 * self.scale
        self.size = (width, height)

    def at(self, x, y):
        return int(round(self.x0 + x * self.scale)), int(round(self.y0 - y * self.scale))

    def box(self, x0, y0, x1, y1, grow=0.0):
        """The pixel box of a drawing box, grown by `grow` drawing units."""
        ax, ay = self.at(x0 - grow, y1 + grow)
        bx, by = self.at(x1 + grow, y0 - grow)
        return ax, ay, bx, by

    def add_frame(self, msp):
        w, h = self.size
        msp.add_lwpolyline([(0, 0), (w, 0), (w, h), (0, h)], close=True, dxfattribs={"color": 255})
