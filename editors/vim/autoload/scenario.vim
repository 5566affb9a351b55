" What both scenario files share: comments, and :make running
" `scenario_tool check` on the pair the buffer belongs to, its errors,
" warnings and notes in the quickfix list.
"
"   g:scenario_tool   the program (default: scenario_tool on the PATH)

" The pair of a file, from the naming convention: ID_linea.txt goes with the
" first ID_N-.txt beside it, ID_N-.txt with ID_linea.txt. [] when there is
" no partner.
function! scenario#coppia(file) abort
  let l:cartella = fnamemodify(a:file, ':p:h')
  let l:nome = fnamemodify(a:file, ':t')
  if l:nome =~? '_linea\.txt$'
    let l:id = substitute(l:nome, '\c_linea\.txt$', '', '')
    let l:treni = sort(glob(l:cartella . '/' . escape(l:id, '*?[]') . '_*-.txt', 1, 1))
    return empty(l:treni) ? [] : [fnamemodify(a:file, ':p'), l:treni[0]]
  endif
  let l:id = matchstr(l:nome, '^.*\ze_[^_]*-\.txt$')
  if l:id ==# ''
    return []
  endif
  let l:linea = l:cartella . '/' . l:id . '_linea.txt'
  return filereadable(l:linea) ? [l:linea, fnamemodify(a:file, ':p')] : []
endfunction

" makeprg for the buffer's pair, found afresh at every :make (a train file
" may have been added since the buffer was opened).
function! scenario#makeprg() abort
  let l:programma = get(g:, 'scenario_tool', 'scenario_tool')
  let l:coppia = scenario#coppia(expand('%:p'))
  if empty(l:coppia)
    " No pair: say so in the list instead of running check on one file.
    let l:messaggio = 'no partner file: check needs ID_linea.txt and ID_N-.txt side by side'
    let l:riga = expand('%') . ':1:1: error: ' . l:messaggio
    " cmd.exe's echo prints quotes as they are: there the line goes bare,
    " without the characters cmd.exe would act on.
    let &l:makeprg = 'echo ' . (has('win32') ? substitute(l:riga, '[&|<>^%"]', '', 'g') : escape(shellescape(l:riga), '%#'))
    return
  endif
  " :make expands % and # in makeprg: the names are escaped for it.
  let l:argomenti = map(copy(l:coppia), 'escape(shellescape(v:val), "%#")')
  let &l:makeprg = escape(shellescape(l:programma), '%#') . ' check ' . join(l:argomenti, ' ')
endfunction

function! scenario#imposta() abort
  " A field holding "-" is a comment row where a keyword is expected.
  setlocal commentstring=--\ %s
  setlocal comments=:--
  setlocal formatoptions-=t
  " FILE:LINE:COLUMN: error|warning|note: MESSAGE; the summary lines after
  " them are left out.
  setlocal errorformat=%f:%l:%c:\ %trror:\ %m,%f:%l:%c:\ %tarning:\ %m,%f:%l:%c:\ %tote:\ %m,%-G%.%#
  call scenario#makeprg()
  let b:undo_ftplugin = 'setlocal commentstring< comments< formatoptions< errorformat< makeprg<'
endfunction

augroup scenario_make
  autocmd!
  autocmd QuickFixCmdPre make,lmake if &filetype =~# '^scenario_' | call scenario#makeprg() | endif
augroup END
