#include "cgame_element.h"

#include "costrak_ehs.h"
#include "gamelogic_main.h"

static constexpr int EHS_FILE_ID = EHSF_CGAME_ELEMENT;

CGameElement::CGameElement(int32_t column, int32_t row, int32_t number) {
  EHS_CP();
  const CGameLogicState& s = GameLogic();
  if (column < 1 || column > s.Columns) EHS_RAISE(EHS_GAME, 0, "Error in CGameElement::CGameElement: invalid X coord!");
  if (row < 1 || row > s.Rows) EHS_RAISE(EHS_GAME, 0, "Error in CGameElement::CGameElement: invalid Y coord!");
  const int64_t cells = static_cast<int64_t>(s.Columns) * s.Rows;
  if (number < 1 || number > cells)
    EHS_RAISE(EHS_GAME, 0, "Error in CGameElement::CGameElement: invalid element number!");
  m_column = column;
  m_row = row;
  m_number = number;
  m_screenX = GameCellPosX(column);
  m_screenY = GameCellPosY(row);
}

void CGameElement::MoveElement(int32_t direction) {
  EHS_CP();
  if (direction < GE_DIR_UP || direction > GE_DIR_LEFT)
    EHS_RAISE(EHS_GAME, 0, "Error in CGameElement::MoveElement: invalid direction!");
  m_direction = direction;
  m_motionState = GE_STATE_MOVING;
}

void CGameElement::Update() {
  EHS_CP();
  const CGameLogicState& s = GameLogic();
  if (m_motionState != GE_STATE_MOVING) {
    m_screenX = GameCellPosX(m_column);
    m_screenY = GameCellPosY(m_row);
    return;
  }

  m_elapsed += s.FrameTime;
  if (m_elapsed < s.ActionTime) {
    // A quadratic Bézier with its control point halfway: linear in time.
    const float t = m_elapsed / s.ActionTime;
    auto along = [t](float p0, float p2) {
      const float p1 = (p0 + p2) * 0.5f;
      return (1.0f - t) * (1.0f - t) * p0 + 2.0f * t * (1.0f - t) * p1 + t * t * p2;
    };
    const float x = GameCellPosX(m_column);
    const float y = GameCellPosY(m_row);
    switch (m_direction) {
      case GE_DIR_UP:
        m_screenX = x;
        m_screenY = along(y, GameCellPosY(m_row - 1));
        break;
      case GE_DIR_RIGHT:
        m_screenX = along(x, GameCellPosX(m_column + 1));
        m_screenY = y;
        break;
      case GE_DIR_DOWN:
        m_screenX = x;
        m_screenY = along(y, GameCellPosY(m_row + 1));
        break;
      case GE_DIR_LEFT:
        m_screenX = along(x, GameCellPosX(m_column - 1));
        m_screenY = y;
        break;
      default:
        EHS_RAISE(EHS_GAME, 0, "Error in CGameElement::Update: invalid move direction!");
    }
    return;
  }

  switch (m_direction) {
    case GE_DIR_UP: --m_row; break;
    case GE_DIR_RIGHT: ++m_column; break;
    case GE_DIR_DOWN: ++m_row; break;
    case GE_DIR_LEFT: --m_column; break;
    default: break;
  }
  m_motionState = GE_STATE_REST;
  m_elapsed = 0.0f;
  m_direction = GE_DIR_NONE;
}
