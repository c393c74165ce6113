// The command-line dialogue GD and DX share: prompts, keywords, settings and the state of a run.
#pragma once

#include "app/drawing_primitives.h"

// The two line styles a pipe run reads when it starts.
struct PipeRunStyles {
  LineStyle centre;  // "MIDLINE"
  LineStyle side;    // "SIDELINE"
};

// What closes a pending piece: the end of the run, a reducer or a valve.
enum class PendingPieceEnd { kFinish, kReducer, kValve };

// Runs the whole dialogue of a pipe run for a worker (CDrawLineCmd or
// CDrawDXCmd): reads its diameter, radius and fitting mode from the settings
// file at m_iniPath, asks for points and keywords until the run ends, keeps
// the worker's fields as the run's state and has the worker draw each step:
//
//   bool drawCorner(b, c, const CornerPoints&, styles)   false: end the command
//   void drawPendingPiece(b, PendingPieceEnd, styles)
//   void drawReducer(b, p, const ReducerEnds&, styles)
//   void drawValveAxis(b, p, styles)
//
// Every step reads the worker's fields as they stand; the dialogue changes
// them between the steps, never during one.
template <class Worker>
void runPipeRunDialogue(Worker& worker);
