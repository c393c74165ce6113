;; orvcad's hatch patterns, in millimetres (a metric drawing's scale 1).
;;
;; Each pattern is a line "*NAME, description" followed by one line per family of
;; parallel lines:
;;
;;   angle, x-origin, y-origin, delta-x, delta-y [, dash, ...]
;;
;; The lines run at `angle` degrees through the origin; the next line of the family is
;; found by moving delta-x along the line and delta-y across it (to its left). A dash
;; (> 0) is drawn, a gap (< 0) is left, 0 is a dot; no dashes: a continuous line.
;; Text after ";" is a comment.

*SOLID, Solid fill
45, 0,0, 0,3.175

;; ---- the ANSI section patterns: lines at 45 degrees, 3.175 mm apart

*ANSI31, ANSI iron, brick, stone masonry
45, 0,0, 0,3.175

*ANSI32, ANSI steel
45, 0,0, 0,9.525
45, 4.490128,0, 0,9.525

*ANSI33, ANSI bronze, brass, copper
45, 0,0, 0,6.35
45, 4.490128,0, 0,6.35, 3.175,-1.5875

*ANSI34, ANSI plastic, rubber
45, 0,0, 0,19.05
45, 4.490128,0, 0,19.05
45, 8.980256,0, 0,19.05
45, 13.470384,0, 0,19.05

*ANSI35, ANSI fire brick, refractory material
45, 0,0, 0,6.35
45, 4.490128,0, 0,6.35, 7.9375,-1.5875,0,-1.5875

*ANSI36, ANSI marble, slate, glass
45, 0,0, 5.55625,3.175, 7.9375,-1.5875,0,-1.5875

*ANSI37, ANSI lead, zinc, magnesium, sound/heat/elec insulation
45, 0,0, 0,3.175
135, 0,0, 0,3.175

*ANSI38, ANSI aluminum
45, 0,0, 0,3.175
135, 0,0, 6.35,3.175, 7.9375,-4.7625

;; ---- lines, grids and dots

*LINE, Parallel horizontal lines
0, 0,0, 0,3.175

*NET, Horizontal / vertical grid
0, 0,0, 0,3.175
90, 0,0, 0,3.175

*NET3, Network pattern 0-60-120
0, 0,0, 0,3.175
60, 0,0, 0,3.175
120, 0,0, 0,3.175

*DOTS, A series of dots
0, 0,0, 0.79375,1.5875, 0,-1.5875

*DASH, Dashed lines
0, 0,0, 3.175,3.175, 3.175,-3.175

*SQUARE, Small aligned squares
0, 0,0, 0,3.175, 3.175,-3.175
90, 0,0, 0,3.175, 3.175,-3.175

*GRATE, Grate area
0, 0,0, 0,0.79375
90, 0,0, 0,3.175

*STEEL, Steel material
45, 0,0, 0,3.175
45, 0,1.5875, 0,3.175

*SACNCR, Concrete
45, 0,0, 0,2.38125
45, 1.683798,0, 0,2.38125, 0,-2.38125

*ANGLE, Angle steel
0, 0,0, 0,6.985, 5.08,-1.905
90, 0,0, 0,6.985, 5.08,-1.905

*CROSS, A series of crosses
0, 0,0, 6.35,6.35, 3.175,-9.525
90, 1.5875,-1.5875, 6.35,-6.35, 3.175,-9.525

*ZIGZAG, Staircase effect
0, 0,0, 3.175,3.175, 3.175,-3.175
90, 3.175,0, 3.175,3.175, 3.175,-3.175

;; ---- tilings

*BRICK, Brick or masonry-type surface
0, 0,0, 0,6.35
90, 0,0, 0,12.7, 6.35,-6.35
90, 6.35,0, 0,12.7, -6.35,6.35

*HEX, Hexagons
0, 0,0, 4.7625,2.749630, 3.175,-6.35
120, 0,0, 4.7625,2.749630, 3.175,-6.35
240, 0,0, 4.7625,2.749630, 3.175,-6.35

*TRIANG, Equilateral triangles
60, 0,0, 4.7625,8.248850, 4.7625,-4.7625
120, 0,0, 4.7625,8.248850, 4.7625,-4.7625
0, -2.38125,4.124425, 4.7625,8.248850, 4.7625,-4.7625

;; ---- materials

*EARTH, Earth or ground (subterranean)
0, 0,0, 6.35,6.35, 6.35,-6.35
0, 0,2.38125, 6.35,6.35, 6.35,-6.35
0, 0,4.7625, 6.35,6.35, 6.35,-6.35
90, 0.79375,5.55625, 6.35,6.35, 6.35,-6.35
90, 3.175,5.55625, 6.35,6.35, 6.35,-6.35
90, 5.55625,5.55625, 6.35,6.35, 6.35,-6.35

*INSUL, Insulation material
0, 0,0, 0,9.525
0, 0,3.175, 0,9.525, 3.175,-3.175
0, 0,6.35, 0,9.525, 3.175,-3.175

*PLAST, Plastic material
0, 0,0, 0,6.35
0, 0,0.79375, 0,6.35
0, 0,1.5875, 0,6.35

*CLAY, Clay material
0, 0,0, 0,4.7625
0, 0,0.79375, 0,4.7625
0, 0,1.5875, 0,4.7625
0, 0,3.175, 0,4.7625, 4.7625,-3.175

*TRANS, Heat transfer material
0, 0,0, 0,6.35
0, 0,3.175, 0,6.35, 3.175,-3.175

*MUDST, Mud and sand
0, 0,0, 12.7,6.35, 6.35,-6.35,0,-6.35,0,-6.35

;; ---- architectural patterns (drawn at full size)

*AR-B816, 8x16 Block elevation stretcher bond
0, 0,0, 0,203.2
90, 0,0, 203.2,203.2, 203.2,-203.2

*AR-BRSTD, Standard brick elevation
0, 0,0, 0,67.7
90, 0,0, 67.7,101.6, 67.7,-67.7

*AR-RROOF, Roof shingle texture
0, 0,0, 55.88,25.4, 381,-50.8,127,-25.4
0, 33.8,12.7, -85.1,25.4, 76.2,-8.4,152.4,-19.1
0, 12.7,21.6, 104.1,25.4, 203.2,-35.6,101.6,-25.4

*AR-CONC, Random dot and stone pattern
50, 0,0, 60,-85, 12,-190
170, 12,2, -45,80, 10,-195
290, 5,-8, 70,55, 11,-185
20, 30,40, 50,-95, 9,-200
140, 42,38, -60,75, 8,-180
37.5, 0,0, 23,29, 0,-37,0,-51
-22.5, 10,5, 31,19, 0,-44,0,-29
82.5, 4,17, 27,-23, 0,-33,0,-47

*AR-SAND, Random dot pattern
37.5, 0,0, 28.5,31.2, 0,-21.6,0,-33.5,0,-12.4
7.5, 0,0, 20.1,15.3, 0,-18.2,0,-27.9,0,-8.6
-33.75, 0,0, 12.7,21.4, 0,-14.9,0,-22.3,0,-31.2
-37.5, 0,0, 9.5,17.7, 0,-25.7,0,-10.1,0,-19.4
