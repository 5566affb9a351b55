-- Neovim as an author's editor: starts scenario_tool lsp on the fixture pair,
-- waits for the diagnostics, asks for a hover, a completion, inlay hints and
-- a code action, and quits with 0 when every answer is the expected one.
-- Run by esegui.sh: nvim --headless --clean -n -c "luafile prova.lua".
local strumento = os.getenv('SCENARIO_TOOL')
local cartella = os.getenv('FIXTURES_DIR')
local errori = {}

local function controlla(cosa, vero, dettaglio)
  if not vero then table.insert(errori, cosa .. (dettaglio and (': ' .. vim.inspect(dettaglio)) or '')) end
end

local function fine()
  if #errori == 0 then
    io.stdout:write('nvim lsp: all answers as expected\n')
    vim.cmd('qa!')
  else
    io.stderr:write(table.concat(errori, '\n') .. '\n')
    vim.cmd('cquit 1')
  end
end

local ok, perche = pcall(function()
  vim.cmd('edit ' .. vim.fn.fnameescape(cartella .. '/prova_1-.txt'))
  local treno = vim.api.nvim_get_current_buf()
  vim.cmd('edit ' .. vim.fn.fnameescape(cartella .. '/prova_linea.txt'))
  local linea = vim.api.nvim_get_current_buf()

  local id = vim.lsp.start_client({ name = 'scenario_tool', cmd = { strumento, 'lsp' }, root_dir = cartella })
  controlla('the server starts', id ~= nil)
  vim.lsp.buf_attach_client(treno, id)
  vim.lsp.buf_attach_client(linea, id)
  local client = vim.lsp.get_client_by_id(id)

  -- The diagnostics of the train file: the taken cell (status 7) and the
  -- speed off its steps of 5.
  local arrivate = vim.wait(10000, function() return #vim.diagnostic.get(treno) >= 3 end, 50)
  controlla('diagnostics of the train file arrive', arrivate, vim.diagnostic.get(treno))
  local codici = {}
  for _, d in ipairs(vim.diagnostic.get(treno)) do
    codici[tostring(d.user_data and d.user_data.lsp and d.user_data.lsp.code or d.code)] = d.lnum
  end
  controlla('status 7 on the code point row', codici['7'] == 18, codici)
  controlla('speed-rounded on the speed row', codici['speed-rounded'] == 9, codici)

  local function chiedi(metodo, parametri, buf)
    local r = client.request_sync(metodo, parametri, 5000, buf)
    controlla(metodo .. ' answers', r and not r.err, r)
    return r and r.result
  end
  local function documento(buf) return { uri = vim.uri_from_bufnr(buf) } end

  -- Hover on the signal's position: the cell it took.
  local h = chiedi('textDocument/hover', { textDocument = documento(treno), position = { line = 16, character = 14 } }, treno)
  controlla('hover names the cell', h and h.contents and h.contents.value:find('cell 91 (m 4550)', 1, true), h)

  -- Completion in the body of the line description: its entries as snippets.
  local c = chiedi('textDocument/completion', { textDocument = documento(linea), position = { line = 12, character = 0 } }, linea)
  local pendenza
  for _, x in ipairs(c or {}) do if x.label == 'pendenza' then pendenza = x end end
  controlla('completion offers pendenza as a snippet', pendenza and pendenza.insertTextFormat == 2 and
    pendenza.insertText:find('${1:position}', 1, true), pendenza)

  -- Inlay hints of the curve row.
  local s = chiedi('textDocument/inlayHint', { textDocument = documento(linea),
    range = { start = { line = 10, character = 0 }, ['end'] = { line = 10, character = 0 } } }, linea)
  controlla('inlay hints name the curve values', s and #s == 2 and s[1].label == 'start' and s[2].label == 'length', s)

  -- The quick fix of the speed: 83 becomes 85, and applied to the buffer.
  local a = chiedi('textDocument/codeAction', { textDocument = documento(treno),
    range = { start = { line = 9, character = 0 }, ['end'] = { line = 9, character = 0 } },
    context = { diagnostics = {} } }, treno)
  controlla('one quick fix on the speed row', a and #a == 1 and a[1].kind == 'quickfix', a)
  if a and a[1] then
    vim.lsp.util.apply_workspace_edit(a[1].edit, client.offset_encoding or 'utf-16')
    local riga = vim.api.nvim_buf_get_lines(treno, 9, 10, false)[1]
    controlla('the fix writes 85', riga == 'velocita,    8000,    85', riga)
    -- The diagnostic goes once the fixed text is checked.
    local via = vim.wait(10000, function()
      for _, d in ipairs(vim.diagnostic.get(treno)) do if d.lnum == 9 then return false end end
      return true
    end, 50)
    controlla('the speed warning is cleared', via, vim.diagnostic.get(treno))
  end
  client.stop()
end)
controlla('the script runs', ok, perche)
fine()
