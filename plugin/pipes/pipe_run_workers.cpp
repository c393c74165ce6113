// What each step of a pipe run draws: GD in double line, DX in single line.
#include "pipes/pipe_run_workers.h"

#include "fittings/DrawUDWTCmd.h"
#include "fittings/DrawWTCmd.h"

void CDrawLineCmd::run() { runPipeRunDialogue(*this); }

void CDrawLineCmd::drawDoubleLinePiece(const AcGePoint2d& p, const AcGePoint2d& q, PieceOrder order,
                                       const PipeRunStyles& styles) {
  // Without a direction there is no left or right to put the sides on.
  if (p == q) return;
  const PipeAxis axis(p, q);
  const double h = m_dOuterDiameter * 0.5;
  const AcGePoint2d pLeft = axis.left(p, h);
  const AcGePoint2d pRight = axis.right(p, h);
  const AcGePoint2d qLeft = axis.left(q, h);
  const AcGePoint2d qRight = axis.right(q, h);

  drawStraightPiece(p, q, styles.centre);
  if (order == kCornerOrder) {
    drawStraightPiece(pLeft, pRight, styles.side);
    drawStraightPiece(qLeft, qRight, styles.side);
    drawStraightPiece(pLeft, qLeft, styles.side);
    drawStraightPiece(pRight, qRight, styles.side);
  } else {
    drawStraightPiece(pLeft, qLeft, styles.side);
    drawStraightPiece(pRight, qRight, styles.side);
    drawStraightPiece(pLeft, pRight, styles.side);
    drawStraightPiece(qLeft, qRight, styles.side);
  }
}

bool CDrawLineCmd::drawCorner(const AcGePoint2d& b, const AcGePoint2d& c, const CornerPoints& corner,
                              const PipeRunStyles& styles) {
  const AcGePoint2d& a = m_ptRunStart;
  // The elbow workers read the diameter and the radius from the settings
  // file, which the dialogue keeps equal to this run's. The corner goes in
  // as one and the same point object on both legs: that is how the elbow
  // knows it, however nearly straight the legs run.
  if (corner.drawsFitting) {
    if (m_nFittingMode == kHorizontalElbow) {
      CDrawWTCmd elbow;
      elbow.m_iniPath = m_iniPath;
      elbow.drawDoubleLineElbow(a, b, b, c);
    } else if (m_nFittingMode == kDownBendElbow) {
      // The half circle closes the incoming leg.
      CDrawUDWTCmd elbow;
      elbow.m_iniPath = m_iniPath;
      elbow.drawDoubleLineUpDownElbow(a, b, b, c);
    } else if (m_nFittingMode == kUpBendElbow) {
      // The half circle closes the outgoing leg.
      CDrawUDWTCmd elbow;
      elbow.m_iniPath = m_iniPath;
      elbow.drawDoubleLineUpDownElbow(c, b, b, a);
    }
  }
  // A leg exactly as long as the fitting's reach leaves no straight piece
  // before it (and a piece of no length has no sides): the run goes on.
  drawDoubleLinePiece(a, corner.t1, kCornerOrder, styles);
  return true;
}

void CDrawLineCmd::drawPendingPiece(const AcGePoint2d& b, PendingPieceEnd, const PipeRunStyles& styles) {
  drawDoubleLinePiece(m_ptRunStart, b, kClosingOrder, styles);
}

void CDrawLineCmd::drawReducer(const AcGePoint2d& b, const AcGePoint2d& p, const ReducerEnds& ends,
                               const PipeRunStyles& styles) {
  const PipeAxis axis(b, p);
  const double h = m_dOuterDiameter * 0.5;
  const AcGePoint2d bLeft = axis.left(b, h);
  const AcGePoint2d bRight = axis.right(b, h);
  drawStraightPiece(b, ends.centre, styles.centre);
  drawStraightPiece(bLeft, ends.left, styles.side);
  drawStraightPiece(bRight, ends.right, styles.side);
  drawStraightPiece(bLeft, bRight, styles.side);
  drawStraightPiece(ends.left, ends.right, styles.side);
}

void CDrawLineCmd::drawValveAxis(const AcGePoint2d& b, const AcGePoint2d& p, const PipeRunStyles& styles) {
  drawStraightPiece(b, p, styles.centre);
}

void CDrawDXCmd::run() { runPipeRunDialogue(*this); }

bool CDrawDXCmd::drawCorner(const AcGePoint2d& b, const AcGePoint2d& c, const CornerPoints& corner,
                            const PipeRunStyles& styles) {
  const AcGePoint2d& s = m_ptRunStart;
  // The symbols read the radius and the diameter from the settings file and
  // draw in the side-line style; a zero size prints its message and the run
  // goes on. The corner is one and the same point object on both legs.
  if (corner.drawsFitting) {
    if (m_nFittingMode == kHorizontalElbow) {
      CDrawWTCmd elbow;
      elbow.m_iniPath = m_iniPath;
      // Either order of the second leg's ends gives the same arc.
      if (m_nCornerCount == 1) {
        elbow.drawSingleLineElbow(s, b, b, c);
      } else {
        elbow.drawSingleLineElbow(s, b, c, b);
      }
    } else if (m_nFittingMode == kDownBendElbow) {
      CDrawUDWTCmd elbow;
      elbow.m_iniPath = m_iniPath;
      elbow.drawSingleLineUpDownElbow(s, b, b, c);
    } else if (m_nFittingMode == kUpBendElbow) {
      CDrawUDWTCmd elbow;
      elbow.m_iniPath = m_iniPath;
      elbow.drawSingleLineUpDownElbow(c, b, b, s);
    }
  }
  if (s == corner.t1) return false;
  drawStraightPiece(s, corner.t1, styles.side);
  return true;
}

void CDrawDXCmd::drawPendingPiece(const AcGePoint2d& b, PendingPieceEnd end, const PipeRunStyles& styles) {
  drawStraightPiece(m_ptRunStart, b, styles.side);
  if (end == PendingPieceEnd::kReducer) {
    const PipeAxis axis(m_ptRunStart, b);
    const double h = m_dOuterDiameter / 2;
    drawStraightPiece(axis.left(b, h), axis.right(b, h), styles.side);
  }
}

void CDrawDXCmd::drawReducer(const AcGePoint2d& b, const AcGePoint2d& p, const ReducerEnds& ends,
                             const PipeRunStyles& styles) {
  const PipeAxis axis(b, p);
  const double h = m_dOuterDiameter / 2;
  const AcGePoint2d bLeft = axis.left(b, h);
  const AcGePoint2d bRight = axis.right(b, h);
  drawStraightPiece(bLeft, ends.left, styles.side);
  drawStraightPiece(bRight, ends.right, styles.side);
  drawStraightPiece(bLeft, bRight, styles.side);
  drawStraightPiece(ends.left, ends.right, styles.side);
}
