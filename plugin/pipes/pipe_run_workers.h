// The workers of the pipe runs: CDrawLineCmd (GD, double line) and CDrawDXCmd (DX, single line).
#pragma once

#include <string>

#include "gept.h"
#include "pipes/pipe_geometry.h"
#include "pipes/pipe_run_dialogue.h"

// Both workers run the one dialogue of pipes/pipe_run_dialogue.h, which keeps
// the run's state in their fields, and draw its steps each in its own form.

// GD: a pipe of two side lines and a centre line, with an elbow of the
// current fitting mode at every corner, lines across the pipe at its ends and
// joints, and reducers and valves inline.
class CDrawLineCmd {
 public:
  // The order in which the five pieces of a double-line piece are created.
  // At a corner: centre, start line, end line, left side, right side. Closing
  // the pending piece: centre, left side, right side, start line, end line.
  enum PieceOrder { kCornerOrder, kClosingOrder };

  // The whole command.
  void run();

  // The double-line piece from p to q: the centre line in the centre-line
  // style; the lines across the pipe at p and at q and the left and right
  // sides at half the outer diameter, in the side-line style. A piece of no
  // length has no sides and draws nothing.
  void drawDoubleLinePiece(const AcGePoint2d& p, const AcGePoint2d& q, PieceOrder order,
                           const PipeRunStyles& styles);

  // The steps of the dialogue. Each draws with the current diameter, radius
  // and fitting mode and the pending start m_ptRunStart; none changes them.
  // A false result ends the command.

  // The corner at b between the pending piece and the leg to c: the elbow of
  // the fitting mode, then the pending piece up to the elbow (corner order).
  bool drawCorner(const AcGePoint2d& b, const AcGePoint2d& c, const CornerPoints& corner,
                  const PipeRunStyles& styles);
  // The pending piece up to b, closed by a line across the pipe at b (closing order).
  void drawPendingPiece(const AcGePoint2d& b, PendingPieceEnd end, const PipeRunStyles& styles);
  // The reducer from b to p (already checked to differ from b), the current
  // diameter in front and the rear end at `ends`: centre, left side, right
  // side, the line across at b and the line across at the rear end.
  void drawReducer(const AcGePoint2d& b, const AcGePoint2d& p, const ReducerEnds& ends,
                   const PipeRunStyles& styles);
  // What the run draws along a valve from b to p besides the valve block:
  // the centre line.
  void drawValveAxis(const AcGePoint2d& b, const AcGePoint2d& p, const PipeRunStyles& styles);

  double m_dOuterDiameter = 0;  // "PIPE"/"DW"
  double m_dElbowRadius = 0;    // "PIPE"/"WTBJ"
  int m_nFittingMode = 0;       // "DRAW"/"ENDSTYLE"; see FittingMode
  int m_nCornerCount = 0;       // 0: no piece yet; 1: first piece known; 2: a corner drawn
  AcGePoint2d m_ptRunStart;     // start of the pending piece, not drawn yet
  AcGePoint2d m_ptFirstEnd;     // end of the run's first piece
  std::wstring m_iniPath;
};

// DX: the same run as one line along the pipe axis, with the single-line
// elbow symbols at the corners, reducers as their outlines and valves as
// blocks. Everything DX draws itself is in the side-line style.
class CDrawDXCmd {
 public:
  // The whole command.
  void run();

  // The steps of the dialogue, drawn with the current diameter, radius and
  // fitting mode and the pending start m_ptRunStart, none of which they
  // change. A false result ends the command.

  // The corner at b between the pending piece and the leg to c: the symbol
  // of the fitting mode, then the pending piece up to it. Ends the command
  // when the pending piece would have no length.
  bool drawCorner(const AcGePoint2d& b, const AcGePoint2d& c, const CornerPoints& corner,
                  const PipeRunStyles& styles);
  // The pending piece up to b; before a reducer also the line across the
  // pipe end at b.
  void drawPendingPiece(const AcGePoint2d& b, PendingPieceEnd end, const PipeRunStyles& styles);
  // The reducer outline from b to p (already checked to differ from b), the
  // current diameter in front and the rear end at `ends`: left side, right
  // side, the line across at b and the line across at the rear end.
  void drawReducer(const AcGePoint2d& b, const AcGePoint2d& p, const ReducerEnds& ends,
                   const PipeRunStyles& styles);
  // Nothing: a single-line run draws no line through a valve.
  void drawValveAxis(const AcGePoint2d&, const AcGePoint2d&, const PipeRunStyles&) {}

  double m_dOuterDiameter = 0;  // "PIPE"/"DW"
  double m_dElbowRadius = 0;    // "PIPE"/"WTBJ"
  int m_nFittingMode = 0;       // "DRAW"/"ENDSTYLE"; see FittingMode
  int m_nCornerCount = 0;       // 0: no piece yet; 1: first piece known; 2: a corner drawn
  AcGePoint2d m_ptRunStart;     // start of the pending piece, not drawn yet
  AcGePoint2d m_ptFirstEnd;     // end of the run's first piece
  std::wstring m_iniPath;
};
