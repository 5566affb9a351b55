" The scenario's two hand-written files by their names: ID_linea.txt is the
" line description, ID_N-.txt a train file. Vim's own rules make *.txt plain
" text, so the type is set, not only offered.
autocmd BufNewFile,BufRead *_linea.txt set filetype=scenario_linea
autocmd BufNewFile,BufRead *-.txt set filetype=scenario_treno

" They are Windows-1252 text with CR LF line ends, as the compiler reads
" them: read them so (an accented letter saved as UTF-8 then shows as the
" two characters the compiler sees) and write new ones so.
autocmd BufReadPre *_linea.txt,*-.txt let s:codifiche = &fileencodings | set fileencodings=ucs-bom,cp1252
autocmd BufReadPost *_linea.txt,*-.txt
      \ if exists('s:codifiche') | let &fileencodings = s:codifiche | unlet s:codifiche | endif
autocmd BufNewFile *_linea.txt,*-.txt setlocal fileencoding=cp1252 fileformat=dos
