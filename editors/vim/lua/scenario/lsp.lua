-- Neovim: starts `scenario_tool lsp` for the scenario's two files, one
-- server per folder. In init.lua:
--
--   require('scenario.lsp').setup()                       -- scenario_tool on the PATH
--   require('scenario.lsp').setup({ cmd = { 'C:/scenario/scenario_tool.exe', 'lsp' } })
--
-- Works with Neovim 0.7 (vim.lsp.start_client) and later (vim.lsp.start).
local M = {}

local tipi = { 'scenario_linea', 'scenario_treno' }

local function avvia(opzioni, buf)
  local nome = vim.api.nvim_buf_get_name(buf)
  local cartella = vim.fn.fnamemodify(nome, ':p:h')
  local programma = opzioni.cmd[1]
  if vim.fn.executable(programma) ~= 1 then
    vim.notify('scenario: ' .. programma .. ' not found; set cmd in require("scenario.lsp").setup()',
      vim.log.levels.ERROR)
    return
  end
  local config = {
    name = 'scenario_tool',
    cmd = opzioni.cmd,
    root_dir = cartella,
    on_attach = opzioni.on_attach,
    capabilities = opzioni.capabilities,
  }
  if vim.lsp.start then
    vim.lsp.start(config, { bufnr = buf })
    return
  end
  -- Neovim 0.7: one client per folder, kept here.
  M.client = M.client or {}
  local id = M.client[cartella]
  if not id or not vim.lsp.get_client_by_id(id) then
    id = vim.lsp.start_client(config)
    M.client[cartella] = id
  end
  if id then
    vim.lsp.buf_attach_client(buf, id)
  end
end

function M.setup(opzioni)
  opzioni = vim.tbl_extend('force', { cmd = { vim.g.scenario_tool or 'scenario_tool', 'lsp' } }, opzioni or {})
  local gruppo = vim.api.nvim_create_augroup('scenario_lsp', { clear = true })
  vim.api.nvim_create_autocmd('FileType', {
    group = gruppo,
    pattern = tipi,
    callback = function(a) avvia(opzioni, a.buf) end,
  })
  -- Buffers already open when setup runs.
  for _, buf in ipairs(vim.api.nvim_list_bufs()) do
    if vim.api.nvim_buf_is_loaded(buf) and vim.tbl_contains(tipi, vim.bo[buf].filetype) then
      avvia(opzioni, buf)
    end
  end
end

return M
