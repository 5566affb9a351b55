" Vim syntax file for the Scenario train file.
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
syntax match scenarioIntestazione /\c^\s*\[\%(generale\|aderenze\|vel_limite\|stazioni\|rallentamenti\|segnali\|codici\|fine\)\]\s*$/
syntax match scenarioParola /\c^\s*\zs\%([^,]*frenata\)\@=\%([^,]*massa\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*vetture\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*velocit\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*aderenza\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*orologio\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*sabbia\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*segnale\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*rallentamento\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*abbattimento\)\@=[^,]*/
syntax match scenarioParola /\c^\s*\zs\%([^,]*stazione\)\@=[^,]*/
syntax match scenarioCommento /^\s*[^,]*-.*$/

highlight default link scenarioNumero Number
highlight default link scenarioNome String
highlight default link scenarioSeparatore Delimiter
highlight default link scenarioIntestazione Title
highlight default link scenarioParola Keyword
highlight default link scenarioCommento Comment

let b:current_syntax = 'scenario_treno'
