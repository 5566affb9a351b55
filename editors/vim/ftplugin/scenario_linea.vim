" The line description: see autoload/scenario.vim.
if exists('b:did_ftplugin')
  finish
endif
let b:did_ftplugin = 1
call scenario#imposta()
