#pragma once

// Program-wide choices made at start-up and read for the rest of the run.
namespace ProgramFlags {

// Yes to the start-up question: more pre-built figures of one kind.
inline bool highBudget = false;
// Cleared by -window=1.
inline bool fullscreen = true;
// Set by -showfps=1: the closing box shows time and frame rate.
inline bool showFps = false;
// Scrap pieces that have settled are drawn once into a picture laid over the
// screen, not again every frame. The program sets it; left off, every piece
// is drawn every frame, as the pixel check's reference and the draw record
// of the replay want them.
inline bool keepSettledScraps = false;

}  // namespace ProgramFlags
