" Vim syntax file for the Scenario line description.
" Written by genera_editori from the readers' keyword tables: edit the
" generator, not this file.
if exists('b:current_syntax')
  finish
endif

syntax case match
" Values: numbers, and names where a value holds a letter.
syntax match scenarioNumero /\%([[:alnum:]_.]\)\@<!-\=\d\+\>/
syntax match scenarioNome /\%(,\s*\)\@<=\%([^,]*[^,[:digit:][:space:][:punct:]]\)\@=[^, \t][^,]*/
syntax match scenarioSeparatore /,/
" The row's first field: a header, a keyword, a comment.
syntax match scenarioIntestazioneIgnota /^\s*\[[^,]*\]\s*$/
syntax match scenarioIntestazione /\c^\s*\[\%(generale\|curve\|pendenze\|montagne\|cartelli\|indicazioni\|fine\)\]\s*$/
syntax match scenarioParola /\c^\s*\zs\%([^,]*lunghezza\)\@=\%([^,]*percorso\)\@=[^,]*/
syntax match scenarioParola /\C^\s*\zs\%([^,]*progressiva\)\@=\%([^,]*tre\)\@=[^,]*/
syntax match scenarioParola /\C^\s*\zs\%([^,]*progressiva\)\@=\%([^,]*due\)\@=[^,]*/
syntax match scenarioParola /\C^\s*\zs\%([^,]*progressiva\)\@=\%([^,]*uno\)\@=[^,]*/
syntax match scenarioParola /\C^\s*\zs\%([^,]*sfondo\)\@=\%([^,]*uno\)\@=[^,]*/
syntax match scenarioParola /\C^\s*\zs\%([^,]*sfondo\)\@=\%([^,]*due\)\@=[^,]*/
syntax match scenarioParola /\C^\s*\zs\%([^,]*sfondo\)\@=\%([^,]*tre\)\@=[^,]*/
syntax match scenarioParola /\C^\s*\zs\%([^,]*segnali\)\@=\%([^,]*ripetizione\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*pendenza\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*curva\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*montagna\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*indicatori_v\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*cartello\)\@=\%([^,]*indicat\)\@=[^,]*/
syntax match scenarioCommento /^\s*[^,]*-.*$/

highlight default link scenarioNumero Number
highlight default link scenarioNome String
highlight default link scenarioSeparatore Delimiter
highlight default link scenarioIntestazione Title
highlight default link scenarioParola Keyword
highlight default link scenarioCommento Comment

let b:current_syntax = 'scenario_linea'
