' qorvane-stand-in-encoder
'
' This is not Microsoft's Windows Media 9 Encoding Script. It marks the place
' of that script for Qorvane on systems without Windows Media Encoder 9: the
' script host "qorvane-cscript" beside it reads the same options and encodes
' with ffmpeg into ASF files (.wma, .wmv). See docs/stand-in-encoder.md in
' Qorvane's sources for the options and the codecs that stand in.
