-- Neovim with the shipped snippet (lua/scenario/lsp.lua) starting
-- scenario_tool lsp: a client attaches to both files of the check fixture
-- and the server's diagnostics arrive, the board at 690 m among them.
local strumento = os.getenv('SCENARIO_TOOL')
local controllo = os.getenv('SOURCE_DIR') .. '/tests/tools/fixtures/controllo/'
local errori = {}
require('scenario.lsp').setup({ cmd = { strumento, 'lsp' } })

for _, file in ipairs({ 'Collina_linea.txt', 'Collina_7-.txt' }) do
  vim.cmd('edit ' .. vim.fn.fnameescape(controllo .. file))
  local buf = vim.api.nvim_get_current_buf()
  local arrivate = vim.wait(15000, function() return #vim.diagnostic.get(buf) > 0 end, 50)
  if #vim.lsp.buf_get_clients(buf) == 0 then table.insert(errori, file .. ': no client attached') end
  if not arrivate then
    table.insert(errori, file .. ': no diagnostics within 15 s')
  elseif file == 'Collina_linea.txt' then
    -- Line 17: the board at 690 m whose cell the board at 700 m holds.
    local trovata = false
    for _, d in ipairs(vim.diagnostic.get(buf)) do
      if d.lnum == 16 and d.severity == vim.diagnostic.severity.ERROR and tostring(d.code) == '21' then trovata = true end
    end
    if not trovata then table.insert(errori, file .. ': no error 21 on line 17: ' .. vim.inspect(vim.diagnostic.get(buf))) end
  end
end
-- Both buffers share one server: the folder's.
if #vim.lsp.get_active_clients() ~= 1 then
  table.insert(errori, #vim.lsp.get_active_clients() .. ' servers for one folder')
end

for _, e in ipairs(errori) do io.stderr:write(e .. '\n') end
vim.lsp.stop_client(vim.lsp.get_active_clients())
vim.wait(2000, function() return #vim.lsp.get_active_clients() == 0 end, 50)
vim.cmd(#errori == 0 and 'qall!' or 'cquit! 1')
