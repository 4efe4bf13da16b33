function three() return 1, true, 'x' end
local co = coroutine.create(function(a) coroutine.yield(a) error({}) end)
print(coroutine.resume(co, 2), pcall(error, 'boom'))
local t = {} for i = 1, 100 do t[i] = string.rep('ab', i) end
while true do end
