# The effects the game knows: a name and its effect text, relative to this folder.
car_light effects/car_light.txt
street_lamp effects/street_lamp.txt
window_glow effects/window_glow.txt
window_glow_warm effects/window_glow_warm.txt
beacon effects/beacon.txt
