#include "widgets/SplitterDrag.h"

#include <algorithm>

int SplitterDrag::Borner(int largeurVoulue, int largeurClient)
{
    // The upper bound wins when the client area is too narrow for both: the
    // right panel keeps its 30 pixels and the left one collapses.
    return std::min(std::max(largeurVoulue, kLargeurMinimale), largeurClient - kMargeDroite);
}

int SplitterDrag::LargeurAppliquee(int largeurBornee)
{
    return largeurBornee <= kLargeurMinimale ? 0 : largeurBornee;
}

void SplitterDrag::Begin(int largeurPanneau, int largeurClient, int x)
{
    active_ = true;
    largeurDepart_ = largeurPanneau;
    largeurClient_ = largeurClient;
    xDepart_ = x;
    largeurBornee_ = Borner(largeurPanneau, largeurClient);
}

int SplitterDrag::Move(int x)
{
    if (active_)
        largeurBornee_ = Borner(largeurDepart_ + (x - xDepart_), largeurClient_);
    return largeurBornee_;
}

std::optional<int> SplitterDrag::Release(int x)
{
    if (!active_)
        return std::nullopt;
    Move(x);
    active_ = false;
    return LargeurAppliquee(largeurBornee_);
}
