# Writes the demo's settings files in the player's value-file format: one value and CR LF.
file(WRITE ${GAME_DIR}/conf.rgd "#TRUE#\r\n")
file(WRITE ${GAME_DIR}/conf2.rgd "2\r\n")
