#pragma once
// CGameElement: one numbered tile of the board. It knows the cell it belongs to
// and glides to a neighbouring cell over the configured action time.
#include <cstdint>

enum : int32_t {
  GE_DIR_NONE = 0,
  GE_DIR_UP = 1,
  GE_DIR_RIGHT = 2,
  GE_DIR_DOWN = 3,
  GE_DIR_LEFT = 4,
};

enum : int32_t {
  GE_STATE_REST = 101,
  GE_STATE_MOVING = 102,
};

class CGameElement {
 public:
  // column 1 .. columns, row 1 .. rows, number 1 .. columns x rows of the current
  // board settings; anything else raises a Game error. The tile starts at rest
  // on its cell's screen position.
  CGameElement(int32_t column, int32_t row, int32_t number);

  // Once per frame. At rest the tile sits on its cell. Moving, it advances by the
  // frame time; when the action time is reached it belongs to the neighbouring
  // cell and comes to rest (its screen position snaps there on the next update).
  void Update();
  // Starts a movement one cell up (1), right (2), down (3) or left (4).
  void MoveElement(int32_t direction);

  int32_t GetColumn() const { return m_column; }
  int32_t GetRow() const { return m_row; }
  float GetScreenX() const { return m_screenX; }
  float GetScreenY() const { return m_screenY; }
  int32_t GetDirection() const { return m_direction; }
  int32_t GetMotionState() const { return m_motionState; }
  float GetElapsed() const { return m_elapsed; }
  int32_t GetNumber() const { return m_number; }
  bool IsMoving() const { return m_motionState == GE_STATE_MOVING; }

 private:
  int32_t m_column;
  int32_t m_row;
  float m_screenX;
  float m_screenY;
  int32_t m_direction = GE_DIR_NONE;
  int32_t m_motionState = GE_STATE_REST;
  float m_elapsed = 0.0f;
  int32_t m_number;
};
