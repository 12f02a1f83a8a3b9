#pragma once
// The drag of the splitter between the two chart panels, apart from the
// widget: the panel on the left takes its old width plus the mouse's
// horizontal movement, bounded below by kLargeurMinimale and above by the
// client width less kMargeDroite (so that the panel on the right keeps at
// least 30 pixels). The new width is applied only at release; a bounded
// width of kLargeurMinimale or less is applied as 0 (the left panel
// collapses; the splitter then sits at the left edge and can be dragged out
// again). Cancelling leaves the width unchanged.
//
//   Begin(265, 707, x = 300)   Move(x = 100) -> 65    Release(x = 100) -> 65
//   Begin(265, 707, x = 300)   Move(x = 0)   -> 30    Release(x = 0)   -> 0
//   Begin(265, 707, x = 300)   Move(x = 900) -> 674   (707 - 33)
#include <optional>

class SplitterDrag {
public:
    static constexpr int kLargeurMinimale = 30;
    static constexpr int kMargeDroite = 33;

    // The bounded width for a wanted width in a client area of `largeurClient`.
    static int Borner(int largeurVoulue, int largeurClient);
    // The width applied at release for a bounded width.
    static int LargeurAppliquee(int largeurBornee);

    // Starts a drag of a panel `largeurPanneau` wide, the mouse at `x`.
    void Begin(int largeurPanneau, int largeurClient, int x);
    bool Active() const { return active_; }

    // The bounded width while the mouse is at `x`: the hatched bar's offset
    // from the panel's left edge.
    int Move(int x);
    int LargeurBornee() const { return largeurBornee_; }

    // Ends the drag with the mouse at `x`; the width to apply, or nothing
    // when no drag was active.
    std::optional<int> Release(int x);

    // Esc: ends the drag without applying anything.
    void Cancel() { active_ = false; }

private:
    bool active_ = false;
    int largeurDepart_ = 0;
    int largeurClient_ = 0;
    int xDepart_ = 0;
    int largeurBornee_ = 0;
};
