-- TavroKavel's own script, loaded with the game's first resources (tag 1).
-- The game calls TK_OnKeyClicked with the code of every key clicked in a
-- frame (the engine's key codes: 59 is F1).

local KEY_F1 = 59

function TK_HelpText()
  return "Point at a block of four tiles and click: the left button turns them clockwise, "
      .. "the right button counter-clockwise. Every turn is a move. Put the numbers in order, "
      .. "row by row, in as few moves as you can. F2 shows the frame rate, F9 takes a screenshot."
end

function TK_OnKeyClicked(key)
  if key == KEY_F1 then
    O2D_LOG_AddEntry("Help: " .. TK_HelpText())
  end
end

-- Typing goes into the keyboard's text buffer, where the name box of the
-- best-result window takes it from.
O2D_INP_KeyboardSetTextBufferStatus(true)
