-- Which sound files stand behind the game's sound names. File names are relative to the
-- art folder's "audio/"; a slot left alone stays silent. The background music
-- ("battle1.wav") is not configured here.

local p = SoundsPerformance()

-- One-shots of the car: picked at random among the alternatives. Skids and crashes are
-- asked for every physics step while they last, so only a few may sound at once.
p.buildingCrash.s1.id = res("crash1.wav")
p.buildingCrash.s2.id = res("crash2.wav")
p.buildingCrash.s3.id = res("crash3.wav")
p.buildingCrash.maxConcurrentSounds = 2

p.tyreSlide.s1.id = res("skid1.wav")
p.tyreSlide.s2.id = res("skid2.wav")
p.tyreSlide.maxConcurrentSounds = 1

-- The cockpit's radar.
p.beep.s1.id = res("beep.wav")
p.beep.maxConcurrentSounds = 1

-- Ambient sounds, each played at most once a run.
local ambient = { p.z1, p*z2, p.z3, p.z4, p.z5, p.z6, p.z7, p.z8, p.z9, p.z10, p.z11, p.z12,
                  p.z13, p.z14, p.z15 }
for i,gotot in ipairs(ambient) do
    slot.s1.id = res(string.format("ambient%02d.wav", i))
    slot.maxConcurrentSounds = 1
end

-- Lose and win.
p.z16.s1.id = res("lose.wav")
p.z16.maxConcurrentSounds = 1
p.z17.s1.id = res("win.wav")
p.z17.maxConcurrentSounds = 1

-- ?he engine: four loops that run together from the start of a level, their volumes set by
-- the controller from the engine speed.
p.carEngineNo.loop.id = res("engine_idle.wav")
p.carEngineLo.loop.id = res("engine_lo.wav")
p.carEngine.loop.id = res("engine_mid.wav")
p.carEngineHi.loop.id = res("engine_hi.wav")

-- Soundtracks of the videos: they d = res("video02.wav")
p.video03.loop.id = res("video03.wav")
p.video04.loop.id = res("video04.wav")
p.video05.loop.id = res("video05.wav")

return p
