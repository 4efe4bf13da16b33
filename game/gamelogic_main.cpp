#include "gamelogic_main.h"

#include <algorithm>
#include <set>
#include <vector>

#include "costrak_ehs.h"
#include "costrak_random.h"

static constexpr int EHS_FILE_ID = EHSF_GAMELOGIC_MAIN;

namespace {

// The generator gives 0 .. 32767, so a larger side has cells that no draw reaches;
// and a board of more than a million tiles would take the game's memory and time
// for nothing a player could solve.
constexpr int32_t kMaxBoardSide = 32768;
constexpr int64_t kMaxBoardCells = int64_t{1} << 20;

// Deletes every distinct tile held by the board or by the moving-tiles slots and
// clears both. Between a turn's start and its application the same tiles are in
// both places; after a refused turn they may be in only one.
void DeleteAllTiles(CGameLogicState& s) {
  std::vector<CGameElement*> tiles;
  if (s.Board.IsCreated()) {
    for (int32_t x = 0; x < s.Board.GetSizeX(); ++x) {
      for (int32_t y = 0; y < s.Board.GetSizeY(); ++y) {
        CGameElement*& cell = s.Board.At(x, y);
        if (cell != nullptr) tiles.push_back(cell);
        cell = nullptr;
      }
    }
  }
  for (CGameElement*& slot : s.MovingTiles) {
    if (slot != nullptr) tiles.push_back(slot);
    slot = nullptr;
  }
  std::sort(tiles.begin(), tiles.end());
  tiles.erase(std::unique(tiles.begin(), tiles.end()), tiles.end());
  for (CGameElement* tile : tiles) delete tile;
}

// Tiles still on the board at process exit are deleted with it.
struct CGameLogicHolder {
  CGameLogicState state;
  ~CGameLogicHolder() { DeleteAllTiles(state); }
};

CGameLogicHolder& Holder() {
  static CGameLogicHolder holder;
  return holder;
}

}  // namespace

CGameLogicState& GameLogic() { return Holder().state; }

void GameLogicReset() {
  CGameLogicState& s = GameLogic();
  DeleteAllTiles(s);
  s = CGameLogicState{};
}

float GameCellPosX(int32_t column) {
  const CGameLogicState& s = GameLogic();
  return static_cast<float>(column - 1) * s.CellWidth + s.BoardLeft;
}

float GameCellPosY(int32_t row) {
  const CGameLogicState& s = GameLogic();
  return static_cast<float>(row - 1) * s.CellHeight + s.BoardTop;
}

void GameNewBoard() {
  EHS_CP();
  CGameLogicState& s = GameLogic();
  if (s.Columns > kMaxBoardSide || s.Rows > kMaxBoardSide || int64_t{s.Columns} * s.Rows > kMaxBoardCells)
    EHS_RAISE(EHS_GAME, 0, "Error in GameNewBoard: invalid board size!");
  s.MoveCounter = 0;
  s.GameState = GAMESTATE_WAITING;
  DeleteAllTiles(s);

  const bool hasCells = s.Columns >= 1 && s.Rows >= 1;
  if (hasCells) s.Board.Create(s.Columns, s.Rows);
  for (int32_t x = 0; x < s.Columns; ++x)
    for (int32_t y = 0; y < s.Rows; ++y) s.Board.At(x, y) = nullptr;

  const int32_t cells = hasCells ? s.Columns * s.Rows : 0;
  const auto cols = static_cast<uint32_t>(s.Columns);
  const auto rows = static_cast<uint32_t>(s.Rows);
  for (int32_t k = 1; k <= cells; ++k) {
    int32_t x = 0;
    int32_t y = 0;
    do {
      x = static_cast<int32_t>(O2D_Random() % cols);  // x is drawn before y
      y = static_cast<int32_t>(O2D_Random() % rows);
    } while (s.Board.At(x, y) != nullptr);
    s.Board.At(x, y) = new CGameElement(x + 1, y + 1, k);
  }
  s.BoardCreated = true;
}

void GameStartTurn(int32_t c, int32_t r, int32_t sense) {
  EHS_CP();
  CGameLogicState& s = GameLogic();
  s.TurnBlock[0] = {c, r};
  s.TurnBlock[1] = {c + 1, r};
  s.TurnBlock[2] = {c + 1, r + 1};
  s.TurnBlock[3] = {c, r + 1};

  // Slots and directions in the order top-left, top-right, bottom-left, bottom-right.
  const GAMECELL from[4] = {{c, r}, {c + 1, r}, {c, r + 1}, {c + 1, r + 1}};
  static constexpr int32_t kClockwise[4] = {GE_DIR_RIGHT, GE_DIR_DOWN, GE_DIR_UP, GE_DIR_LEFT};
  static constexpr int32_t kCounterClockwise[4] = {GE_DIR_DOWN, GE_DIR_LEFT, GE_DIR_RIGHT, GE_DIR_UP};
  for (int i = 0; i < 4; ++i) {
    CGameElement* tile = s.Board.At(from[i].x, from[i].y);
    s.MovingTiles[i] = tile;
    if (tile == nullptr) continue;
    if (sense == TURN_CLOCKWISE) tile->MoveElement(kClockwise[i]);
    if (sense == TURN_COUNTERCLOCKWISE) tile->MoveElement(kCounterClockwise[i]);
  }
  s.GameState = GAMESTATE_MOVING;
  s.TurnSense = sense;
  ++s.MoveCounter;
}

void ProcessGameLogic() {
  EHS_CP();
  CGameLogicState& s = GameLogic();
  for (CGameElement* tile : s.MovingTiles)
    if (tile == nullptr) EHS_RAISE(EHS_GAME, 0, "Error in ProcessGameLogic: pointer is NULL!");
  // Refused before the board changes, so the board keeps every tile.
  if (s.TurnSense != TURN_CLOCKWISE && s.TurnSense != TURN_COUNTERCLOCKWISE)
    EHS_RAISE(EHS_GAME, 0, "Error in ProcessGameLogic(): invalid clock move!");

  CGameElement* const fromTL = s.MovingTiles[0];
  CGameElement* const fromTR = s.MovingTiles[1];
  CGameElement* const fromBL = s.MovingTiles[2];
  CGameElement* const fromBR = s.MovingTiles[3];
  const GAMECELL& tl = s.TurnBlock[0];
  const GAMECELL& tr = s.TurnBlock[1];
  const GAMECELL& br = s.TurnBlock[2];
  const GAMECELL& bl = s.TurnBlock[3];
  for (const GAMECELL& cell : s.TurnBlock) s.Board.At(cell.x, cell.y) = nullptr;
  if (s.TurnSense == TURN_CLOCKWISE) {
    s.Board.At(tl.x, tl.y) = fromBL;
    s.Board.At(tr.x, tr.y) = fromTL;
    s.Board.At(br.x, br.y) = fromTR;
    s.Board.At(bl.x, bl.y) = fromBR;
  } else {
    s.Board.At(tl.x, tl.y) = fromTR;
    s.Board.At(tr.x, tr.y) = fromBR;
    s.Board.At(br.x, br.y) = fromBL;
    s.Board.At(bl.x, bl.y) = fromTL;
  }
  for (CGameElement*& slot : s.MovingTiles) slot = nullptr;
  s.TurnSense = TURN_NONE;
}

void UpdateGameElements() {
  EHS_CP();
  CGameLogicState& s = GameLogic();
  for (int32_t x = 0; x < s.Columns; ++x) {
    for (int32_t y = 0; y < s.Rows; ++y) {
      CGameElement* tile = s.Board.At(x, y);
      if (tile == nullptr) EHS_RAISE(EHS_GAME, 0, "Error in UpdateGameElements(): game element pointer is NULL!");
      tile->Update();
    }
  }
}

bool IsAnyTileMoving() {
  EHS_CP();
  CGameLogicState& s = GameLogic();
  for (int32_t x = 0; x < s.Columns; ++x) {
    for (int32_t y = 0; y < s.Rows; ++y) {
      const CGameElement* tile = s.Board.At(x, y);
      if (tile != nullptr && tile->IsMoving()) return true;
    }
  }
  return false;
}

bool IsBoardComplete() {
  EHS_CP();
  CGameLogicState& s = GameLogic();
  for (int32_t x = 0; x < s.Columns; ++x) {
    for (int32_t y = 0; y < s.Rows; ++y) {
      const CGameElement* tile = s.Board.At(x, y);
      if (tile == nullptr || tile->GetNumber() != x + 1 + y * s.Columns) return false;
    }
  }
  return true;
}

void GameFree() {
  EHS_CP();
  DeleteAllTiles(GameLogic());
}

bool IsBoardSolvable() {
  EHS_CP();
  CGameLogicState& s = GameLogic();
  if (s.Columns < 2 || s.Rows < 2 || s.Columns * s.Rows > 6) return true;
  // Every order the block turns reach from the solved board, found by a walk
  // over at most 720 orders; a turn is reversible, so the deal is solvable
  // exactly when it is among them.
  const int32_t cells = s.Columns * s.Rows;
  std::vector<int32_t> solved(static_cast<size_t>(cells));
  for (int32_t i = 0; i < cells; ++i) solved[static_cast<size_t>(i)] = i + 1;
  std::set<std::vector<int32_t>> seen{solved};
  std::vector<std::vector<int32_t>> pending{solved};
  while (!pending.empty()) {
    std::vector<int32_t> order = std::move(pending.back());
    pending.pop_back();
    for (int32_t c = 0; c + 1 < s.Columns; ++c) {
      for (int32_t r = 0; r + 1 < s.Rows; ++r) {
        std::vector<int32_t> next = order;
        auto at = [&](int32_t x, int32_t y) -> int32_t& { return next[static_cast<size_t>(x + y * s.Columns)]; };
        const int32_t tl = at(c, r);
        at(c, r) = at(c, r + 1);
        at(c, r + 1) = at(c + 1, r + 1);
        at(c + 1, r + 1) = at(c + 1, r);
        at(c + 1, r) = tl;
        if (seen.insert(next).second) pending.push_back(std::move(next));
      }
    }
  }
  std::vector<int32_t> deal(static_cast<size_t>(cells));
  for (int32_t x = 0; x < s.Columns; ++x)
    for (int32_t y = 0; y < s.Rows; ++y) {
      const CGameElement* tile = s.Board.At(x, y);
      deal[static_cast<size_t>(x + y * s.Columns)] = tile ? tile->GetNumber() : 0;
    }
  return seen.count(deal) > 0;
}
