#include "common/ui/BoardPanel.h"

BoardPanel::BoardPanel(Params::Board& board, QWidget* parent)
    : QWidget(parent)
    , m_board(board)
{
}
