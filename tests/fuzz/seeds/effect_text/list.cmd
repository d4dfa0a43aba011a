# the level's effects
flare flare.txt
glow glow.txt
self input.txt

lonely
