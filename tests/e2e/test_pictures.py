"""Pictures of drawn fittings: what the exported PNG shows, where, and in which colour."""
import os
import unittest

from orvharness import Session, main
from pngread import box_of, bluish, inked, read_png, reddish


class ElbowPicture(unittest.TestCase):
    def test_the_right_angle_elbow_shows_its_arcs_in_their_styles(self):
        s = Session(self)
        png = os.path.join(s.dir, "elbow.png")
        # Side lines blue, centre line red; legs from the corner at the origin.
        s.run(["CGD", "50", "100", "CLT", "Continuous", "5", "Continuous", "1",
               "LINE", "0,0", "300,0", "", "LINE", "0,0", "0,300", "",
               "WT", "200,0", "0,200"], args=["--export", png])
        width, height, rows = read_png(png)
        self.assertEqual((width, height), (1600, 1200))
        everything = box_of(rows, inked)
        red = box_of(rows, reddish)
        blue = box_of(rows, bluish)
        self.assertIsNotNone(red, "no centre-line arc")
        self.assertIsNotNone(blue, "no side arcs")
        # The drawing spans x and y from -25 (outer arc) to 300 (the legs): 325 units.
        scale = (everything[2] - everything[0]) / 325.0
        self.assertAlmostEqual((everything[3] - everything[1]) / scale, 325, delta=3)
        # The centre arc: a quarter circle of radius 100 from (100,0) to (0,100).
        self.assertAlmostEqual((red[2] - red[0]) / scale, 100, delta=3)
        self.assertAlmostEqual((red[3] - red[1]) / scale, 100, delta=3)
        self.assertAlmostEqual((red[0] - everything[0]) / scale, 25, delta=3)
        # The outer side arc reaches 125 from the arc centre: the blue box is 125 across.
        self.assertAlmostEqual((blue[2] - blue[0]) / scale, 125, delta=3)
        self.assertAlmostEqual((blue[0] - everything[0]) / scale, 0, delta=2)

    def test_a_reducer_shows_its_taper(self):
        s = Session(self)
        png = os.path.join(s.dir, "reducer.png")
        s.run(["CLT", "Continuous", "5", "Continuous", "1",
               "DXT", "C", "100", "60", "0,0", "400,0", "0"], args=["--export", png])
        _, _, rows = read_png(png)
        blue = box_of(rows, bluish)
        scale = (blue[2] - blue[0]) / 400.0
        self.assertAlmostEqual((blue[3] - blue[1]) / scale, 100, delta=2)
        # Near the rear end the blue outline spans 60, not 100.
        near_end = [x for x in range(blue[2] - 3, blue[2] + 1)]
        ys = [y for y, row in enumerate(rows) for x in near_end if bluish(row[x])]
        self.assertAlmostEqual((max(ys) - min(ys)) / scale, 60, delta=3)


if __name__ == "__main__":
    main()
