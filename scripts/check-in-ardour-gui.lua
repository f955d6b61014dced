-- Session set-up of scripts/check-in-ardour-gui.sh, run by Ardour's headless
-- Lua session tool (ardour7-lua) on the "None (Dummy)" backend:
--
--   ardour7-lua check-in-ardour-gui.lua dir=SESSION_DIR plugin=NAME device=DEVICE
--
-- Creates a session with a stereo track named "check" that monitors its
-- input (the backend's DEVICE signal), inserts the LXVST plug-in NAME on it
-- and saves. Prints "IDS ROUTE_ID PROCESSOR_ID" for the caller, which marks
-- the plug-in's window as open in the session file, and "DONE" at the end
-- (a Lua error also ends the tool with status 0).

local opt = {}
for _, a in ipairs(arg or {}) do
  local k, v = a:match("^([%w_-]+)=(.*)$")
  if k then opt[k] = v end
end

local function say(...)
  print(...)
  io.stdout:flush()
end

local dir = assert(opt.dir, "dir= missing")
local name = dir:match("([^/]+)/*$")
local plugin_name = assert(opt.plugin, "plugin= missing")

ARDOUR.config():set_hide_dummy_backend(false)
local backend = AudioEngine:set_backend("None (Dummy)", "", "")
if not backend or backend:isnil() then
  say("FAIL backend: no \"None (Dummy)\" backend")
  return
end
backend:set_device_name(opt.device or "Sine Sweep")

local s = create_session(dir, name, 48000)
if not s then
  say("FAIL session: could not create " .. dir)
  return
end
local route = s:new_audio_track(2, 2, nil, 1, "check", ARDOUR.PresentationInfo.max_order,
  ARDOUR.TrackMode.Normal, true):front()
route:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput, PBD.GroupControlDisposition.NoGroup)
local proc = ARDOUR.LuaAPI.new_plugin(s, plugin_name, ARDOUR.PluginType.LXVST, "")
if proc:isnil() then
  say("FAIL instantiate: no LXVST plug-in named \"" .. plugin_name .. "\"")
  close_session()
  return
end
local rc = route:add_processor_by_index(proc, 0, nil, true)
if rc ~= 0 then
  say("FAIL insert: add_processor_by_index -> " .. rc)
  close_session()
  return
end
say("IDS " .. route:to_stateful():id():to_s() .. " " .. proc:to_stateful():id():to_s())
local saved = s:save_state("", false, false, false, false, false)
if saved ~= 0 then say("FAIL save: save_state -> " .. saved) end
close_session()
say("DONE")
