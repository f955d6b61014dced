-- Session steps of scripts/check-in-ardour.sh, run by Ardour's headless Lua
-- session tool (ardour7-lua) on the "None (Dummy)" backend.
--
--   ardour7-lua check-in-ardour.lua mode=MODE dir=SESSION_DIR plugin=NAME \
--       [param=NAME value=0..1] [also="NAME:0..1;..."] [gain=DB] [latency=SAMPLES]
--
-- MODE is one of:
--   create     new session with a stereo track fed a -18 dBFS sine by the
--              backend; adds the plug-in, lists its parameters, plays an
--              automation ramp on PARAM, runs audio through it, sets PARAM to
--              VALUE (and each parameter in ALSO to its value) from the
--              host, saves, writes DIR/../expected-values.txt
--   reopen     opens the saved session, compares every parameter with
--              expected-values.txt, runs audio again
--   chunk-only rewrites the host's own per-parameter value of PARAM in the
--              session file to a wrong one, reopens: VALUE can then only come
--              back through the plug-in's state chunk
--   bad-chunk  cuts the saved state chunk in half, reopens: the plug-in must
--              refuse it without crashing and report sane parameters
--   regions    puts the state chunk in the file named by chunk= (base64: a
--              bank chunk with a muted region over the first 220160 samples
--              and the whole band, made by sorvano-render) into the saved
--              session, opens it, measures the output inside and after the
--              region's time span, saves: the session must keep the chunk;
--              writes the levels to DIR/../region-levels.txt
--   regions-reopen
--              opens that session again: the same chunk and the same levels
--
-- Every check prints one line "PASS name: detail" or "FAIL name: detail";
-- "INFO" lines only report. The last line is "DONE MODE" when the script ran
-- to its end: a Lua error also ends the tool with status 0, so the caller
-- treats a missing DONE as a failure.

local opt = {}
for _, a in ipairs(arg or {}) do
  local k, v = a:match("^([%w_-]+)=(.*)$")
  if k then opt[k] = v end
end

local function say(...)
  print(...)
  io.stdout:flush()
end

local function check(ok, name, detail)
  say((ok and "PASS " or "FAIL ") .. name .. ": " .. (detail or ""))
  return ok
end

local function finite(x)
  return type(x) == "number" and x == x and x ~= math.huge and x ~= -math.huge
end

local function fmt(x)
  return string.format("%.6f", x)
end

local mode = opt.mode or "create"
local dir = assert(opt.dir, "dir= missing")
local name = dir:match("([^/]+)/*$")
local plugin_name = assert(opt.plugin, "plugin= missing")
local param_name = opt.param or ""
local target = tonumber(opt.value or "0.75")
local expected_file = dir .. "/../expected-values.txt"
local session_file = dir .. "/" .. name .. ".ardour"
local pristine_file = dir .. "/../saved.ardour"
local levels_file = dir .. "/../region-levels.txt"
local track_name = "check"
local sine_db = -18.0 -- level of the backend's "Sine Wave" input

local function read_file(path)
  local f = io.open(path, "r")
  if not f then return nil end
  local s = f:read("a")
  f:close()
  return s
end

local function write_file(path, s)
  local f = assert(io.open(path, "w"))
  f:write(s)
  f:close()
end

-- Backend: dummy devices, the capture ports carry a sine.
ARDOUR.config():set_hide_dummy_backend(false)
local backend = AudioEngine:set_backend("None (Dummy)", "", "")
if not backend or backend:isnil() then
  check(false, "backend", "no \"None (Dummy)\" backend")
  say("DONE " .. mode)
  return
end
backend:set_device_name("Sine Wave")

local function wait(seconds)
  ARDOUR.LuaAPI.usleep(math.floor(seconds * 1e6))
end

local function peak_db(route)
  local pm = route:peak_meter()
  local l = pm:meter_level(0, ARDOUR.MeterType.MeterPeak)
  local r = pm:meter_level(1, ARDOUR.MeterType.MeterPeak)
  return l, r
end

local function param_port(pl, i)
  local port = pl:nth_parameter(i, true)
  return port
end

local function param_value(proc, port)
  local v = ARDOUR.LuaAPI.get_processor_param(proc, port, true)
  return v
end

local function automation_control(proc, port)
  return proc:to_insert():to_automatable():automation_control(
    Evoral.Parameter(ARDOUR.AutomationType.PluginAutomation, 0, port), false)
end

-- Lists every parameter; returns a table index -> {port, label, value}.
local function list_params(proc)
  local pl = proc:to_insert():plugin(0)
  local out = {}
  local seen = {}
  local names_ok, values_ok = true, true
  for i = 0, pl:parameter_count() - 1 do
    local port = param_port(pl, i)
    local label = pl:parameter_label(port)
    local v = param_value(proc, port)
    local _, t = pl:get_parameter_descriptor(port, ARDOUR.ParameterDescriptor())
    local d = t[2]
    say(string.format("PARAM %d %q value=%s range=%s..%s", i, label, fmt(v), fmt(d.lower), fmt(d.upper)))
    if label == "" or seen[label] then names_ok = false end
    seen[label] = true
    if not finite(v) or v < d.lower or v > d.upper then values_ok = false end
    out[i] = { port = port, label = label, value = v }
  end
  check(pl:parameter_count() > 0 and names_ok, "parameter names",
    pl:parameter_count() .. " parameters, names non-empty and distinct")
  check(values_ok, "parameter values", "every value finite and inside its range")
  return out
end

local function find_param(params)
  for i, p in pairs(params) do
    if p.label == param_name then return i, p end
  end
  if param_name == "" then -- first parameter that is not a bypass switch
    for i = 0, #params do
      if params[i] and not params[i].label:lower():find("bypass") then
        param_name = params[i].label
        return i, params[i]
      end
    end
  end
  return nil
end

-- Runs the transport for a while and checks that audio came out and that the
-- plug-in's process callback ran.
local function check_audio(session, route, proc, label, expect_gain)
  if not session:transport_rolling() then
    session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
  end
  local start = session:transport_sample()
  wait(1.5)
  local moved = session:transport_sample() - start
  local l, r = peak_db(route)
  local ok_stats, has_stats, st = pcall(function() return proc:to_insert():get_stats(0, 0, 0, 0) end)
  check(moved > 0.5 * session:nominal_sample_rate(), label .. ": transport",
    "rolled " .. moved .. " samples in 1.5 s")
  check(ok_stats and has_stats, label .. ": process calls",
    (ok_stats and has_stats) and string.format("plug-in run time per cycle min %d us, max %d us, mean %.1f us",
      st[1], st[2], st[3]) or "the host measured no run of the plug-in")
  local ok = finite(l) and finite(r) and l > -60 and r > -60 and l < 60 and r < 60
  local detail = string.format("output peak L %.2f dBFS, R %.2f dBFS (input sine %.1f dBFS)", l, r, sine_db)
  if ok and expect_gain then
    ok = math.abs(l - sine_db - expect_gain) < 0.5 and math.abs(r - sine_db - expect_gain) < 0.5
    detail = detail .. string.format(", expected gain %.1f dB", expect_gain)
  end
  check(ok, label .. ": output", detail)
end

local function expect_values(proc)
  local text = read_file(expected_file)
  if not text then
    check(false, "restored values", "no " .. expected_file)
    return
  end
  local bad, n = {}, 0
  for idx, port, v in text:gmatch("(%d+) (%d+) (%S+)\n") do
    n = n + 1
    local got = param_value(proc, tonumber(port))
    if not finite(got) or math.abs(got - tonumber(v)) > 1e-5 then
      bad[#bad + 1] = string.format("#%s saved %s now %s", idx, v, tostring(got))
    end
  end
  check(n > 0 and #bad == 0, "restored values",
    #bad == 0 and (n .. " parameters equal to the saved ones") or table.concat(bad, "; "))
end

local function open_saved()
  local s = load_session(dir, name)
  if not s then
    check(false, "reopen", "load_session failed")
    return nil
  end
  local route = s:route_by_name(track_name)
  local proc = route and not route:isnil() and route:nth_plugin(0)
  if not proc or proc:isnil() or proc:display_name() ~= plugin_name then
    check(false, "reopen", "the track or its plug-in is missing")
    return nil
  end
  check(true, "reopen", "session opened, plug-in \"" .. proc:display_name() .. "\" instantiated")
  route:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput, PBD.GroupControlDisposition.NoGroup)
  return s, route, proc
end

-- Finds the plug-in's processor block in the session file.
local function plugin_block(xml)
  local a = xml:find('<Processor[^>]-type="lxvst"')
  if not a then return nil end
  local b = xml:find("</Processor>", a, true)
  return a, b
end

-- The plug-in's state chunk as the session file holds it (base64), or nil.
local function saved_chunk()
  local xml = read_file(session_file) or ""
  local a, b = plugin_block(xml)
  return a and xml:sub(a, b):match("<chunk[^>]*>([^<]*)</chunk>")
end

-- The louder channel's highest peak (dBFS) while the transport rolls for a
-- second from half a second after position (samples).
local function max_peak_from(session, route, position)
  session:request_locate(position, false, ARDOUR.LocateTransportDisposition.MustRoll,
    ARDOUR.TransportRequestSource.TRS_UI)
  wait(0.5)
  local pm = route:peak_meter()
  pm:reset_max()
  wait(1.0)
  return math.max(pm:meter_level(0, ARDOUR.MeterType.MeterMaxPeak),
    pm:meter_level(1, ARDOUR.MeterType.MeterMaxPeak))
end

-- The muted region spans samples 0 .. 220160 (4.6 s at 48 kHz); its fade in
-- time ends by 5.1 s. Inside: from 0.5 s; after it: from 6.25 s.
local function region_levels(session, route)
  local inside = max_peak_from(session, route, 24000)
  local after = max_peak_from(session, route, 300000)
  session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
  wait(0.3)
  return inside, after
end

local function check_region_levels(inside, after)
  check(finite(after) and math.abs(after - sine_db) < 0.5, "after the region",
    string.format("output peak %.2f dBFS (input sine %.1f dBFS)", after, sine_db))
  check(inside < sine_db - 40, "inside the muted region",
    string.format("output peak %.2f dBFS, at least 40 dB below the input", inside))
end

if mode == "create" then
  local s = create_session(dir, name, 48000)
  if not check(s ~= nil, "session", "created " .. dir) then
    say("DONE " .. mode)
    return
  end

  local info
  for pi in ARDOUR.LuaAPI.list_plugins():iter() do
    if pi.type == ARDOUR.PluginType.LXVST and pi.name == plugin_name then info = pi end
  end
  if not check(info ~= nil, "listed", info and ("\"" .. info.name .. "\" by " .. info.creator .. ", unique id " .. info.unique_id)
      or ("no LXVST plug-in named \"" .. plugin_name .. "\" in the plug-in manager")) then
    close_session()
    say("DONE " .. mode)
    return
  end

  local route = s:new_audio_track(2, 2, nil, 1, track_name, ARDOUR.PresentationInfo.max_order,
    ARDOUR.TrackMode.Normal, true):front()
  route:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput, PBD.GroupControlDisposition.NoGroup)
  check(route:n_inputs():n_audio() == 2 and route:n_outputs():n_audio() == 2, "stereo track",
    route:n_inputs():n_audio() .. " in, " .. route:n_outputs():n_audio() .. " out")

  -- Level of the track without the plug-in.
  s:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
  wait(1.0)
  local l0, r0 = peak_db(route)
  say(string.format("INFO track without plug-in: peak L %.2f dBFS, R %.2f dBFS", l0, r0))

  local proc = ARDOUR.LuaAPI.new_plugin(s, plugin_name, ARDOUR.PluginType.LXVST, "")
  if not check(not proc:isnil(), "instantiate", "new_plugin(\"" .. plugin_name .. "\", LXVST)") then
    close_session()
    say("DONE " .. mode)
    return
  end
  local rc = route:add_processor_by_index(proc, 0, nil, true)
  local ins = proc:to_insert()
  local pl = ins:plugin(0)
  check(rc == 0 and ins:input_streams():n_audio() == 2 and ins:output_streams():n_audio() == 2, "insert",
    string.format("add_processor_by_index -> %d; \"%s\" by \"%s\", label \"%s\", unique id %s, %d in / %d out, %d parameters",
      rc, pl:name(), pl:maker(), pl:label(), pl:unique_id(), ins:input_streams():n_audio(),
      ins:output_streams():n_audio(), pl:parameter_count()))
  local latency = ins:signal_latency()
  if opt.latency then
    check(latency == tonumber(opt.latency), "latency", latency .. " samples reported, expected " .. opt.latency)
  else
    say("INFO latency: " .. latency .. " samples")
  end

  local params = list_params(proc)
  local idx, p = find_param(params)
  if not check(idx ~= nil, "find parameter", idx and ("\"" .. param_name .. "\" is #" .. idx) or ("no \"" .. param_name .. "\"")) then
    close_session()
    say("DONE " .. mode)
    return
  end

  -- Automation: a ramp 0 -> 1 over two seconds, played back by the host while
  -- the transport rolls. The plug-in must report rising values.
  local ac = automation_control(proc, p.port)
  local al = ac:alist()
  local t0 = s:transport_sample() + 24000
  al:add(Temporal.timepos_t(t0), 0.0, false, true)
  al:add(Temporal.timepos_t(t0 + 96000), 1.0, false, true)
  ac:set_automation_state(ARDOUR.AutoState.Play)
  local seen = {}
  for i = 1, 7 do
    wait(0.5)
    seen[#seen + 1] = param_value(proc, p.port)
  end
  local rising, distinct = true, 0
  for i = 2, #seen do
    if not finite(seen[i]) or seen[i] < seen[i - 1] - 1e-6 then rising = false end
    if seen[i] > 0.02 and seen[i] < 0.98 then distinct = distinct + 1 end
  end
  local shown = {}
  for i, v in ipairs(seen) do shown[i] = string.format("%.3f", v) end
  check(rising and distinct >= 2 and seen[#seen] > 0.99, "automation playback",
    "plug-in reported " .. table.concat(shown, " "))
  ac:set_automation_state(ARDOUR.AutoState.Off)
  al:clear_list()

  check_audio(s, route, proc, "audio", tonumber(opt.gain))

  -- A value set from the host.
  ARDOUR.LuaAPI.set_processor_param(proc, p.port, target)
  wait(0.2)
  local got = param_value(proc, p.port)
  check(finite(got) and math.abs(got - target) < 1e-5, "set from host",
    string.format("\"%s\" set to %s, plug-in reports %s", param_name, fmt(target), fmt(got)))

  -- Further values set from the host, so that the saved state differs from
  -- the defaults in more than one place.
  for pair in (opt.also or ""):gmatch("[^;]+") do
    local label, v = pair:match("^(.-):([%d.]+)$")
    local port
    for _, q in pairs(params) do
      if q.label == label then port = q.port end
    end
    if check(port ~= nil and tonumber(v) ~= nil, "find parameter", "\"" .. tostring(label) .. "\"") then
      ARDOUR.LuaAPI.set_processor_param(proc, port, tonumber(v))
      wait(0.2)
      local now = param_value(proc, port)
      check(finite(now) and math.abs(now - tonumber(v)) < 1e-5, "set from host",
        string.format("\"%s\" set to %s, plug-in reports %s", label, fmt(tonumber(v)), fmt(now)))
    end
  end

  local lines = {}
  for i = 0, pl:parameter_count() - 1 do
    local port = param_port(pl, i)
    lines[#lines + 1] = string.format("%d %d %.9g\n", i, port, param_value(proc, port))
  end
  write_file(expected_file, table.concat(lines))

  s:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
  wait(0.3)
  local saved = s:save_state("", false, false, false, false, false)
  local xml = read_file(session_file) or ""
  local a, b = plugin_block(xml)
  local chunk = a and xml:sub(a, b):match("<chunk[^>]*>([^<]*)</chunk>")
  check(saved == 0 and a ~= nil, "save", "save_state -> " .. saved .. ", " .. session_file)
  write_file(pristine_file, xml) -- the modes that damage the file start from this copy
  say("INFO state chunk in session file: " .. (chunk and (#chunk .. " base64 characters") or "none"))
  close_session()
  say("DONE " .. mode)

elseif mode == "reopen" then
  local s, route, proc = open_saved()
  if s then
    list_params(proc)
    expect_values(proc)
    check_audio(s, route, proc, "audio after reopen", tonumber(opt.gain))
    close_session()
  end
  say("DONE " .. mode)

elseif mode == "chunk-only" then
  local xml = read_file(pristine_file) or ""
  local a, b = plugin_block(xml)
  local block = a and xml:sub(a, b) or ""
  local expected = read_file(expected_file) or ""
  if not block:find("<chunk") then
    say("SKIP chunk-only: the plug-in saved no state chunk")
    say("DONE " .. mode)
    return
  end
  -- The host's own copy of each value, set to something else.
  local wrong = target > 0.5 and 0.1 or 0.9
  local n
  block, n = block:gsub('(<Controllable[^>]- value=")[^"]*(" parameter="%d+")', "%1" .. wrong .. "%2")
  write_file(session_file, xml:sub(1, a - 1) .. block .. xml:sub(b + 1))
  say("INFO rewrote " .. n .. " host-side parameter values in the session file to " .. wrong)
  local s, route, proc = open_saved()
  if s then
    expect_values(proc)
    close_session()
  end
  say("DONE " .. mode)

elseif mode == "bad-chunk" then
  local xml = read_file(pristine_file) or ""
  local a, b = plugin_block(xml)
  local block = a and xml:sub(a, b) or ""
  local chunk = block:match("<chunk[^>]*>([^<]*)</chunk>")
  if not chunk then
    say("SKIP bad-chunk: the plug-in saved no state chunk")
    say("DONE " .. mode)
    return
  end
  local cut = chunk:sub(1, 4 * math.floor(#chunk / 8))
  block = block:gsub("(<chunk[^>]*>)[^<]*(</chunk>)", "%1" .. cut .. "%2")
  write_file(session_file, xml:sub(1, a - 1) .. block .. xml:sub(b + 1))
  say("INFO state chunk cut from " .. #chunk .. " to " .. #cut .. " base64 characters")
  local s, route, proc = open_saved()
  if s then
    list_params(proc)
    check_audio(s, route, proc, "audio after a bad chunk", tonumber(opt.gain))
    close_session()
  end
  say("DONE " .. mode)

elseif mode == "regions" then
  local xml = read_file(pristine_file) or ""
  local a, b = plugin_block(xml)
  local block = a and xml:sub(a, b) or ""
  local given = (read_file(opt.chunk or "") or ""):gsub("%s", "")
  if not block:find("<chunk") or given == "" then
    check(false, "regions", "no state chunk in the session or no chunk file given (chunk=)")
    say("DONE " .. mode)
    return
  end
  block = block:gsub("(<chunk[^>]*>)[^<]*(</chunk>)", function(open, close) return open .. given .. close end)
  write_file(session_file, xml:sub(1, a - 1) .. block .. xml:sub(b + 1))
  say("INFO state chunk with a muted region put into the session: " .. #given .. " base64 characters")
  local s, route, proc = open_saved()
  if s then
    local inside, after = region_levels(s, route)
    check_region_levels(inside, after)
    write_file(levels_file, string.format("%.6f %.6f\n", inside, after))
    local saved = s:save_state("", false, false, false, false, false)
    local chunk = saved_chunk()
    check(saved == 0 and chunk == given, "chunk saved again",
      chunk == given and "the session holds the chunk it was given" or
      ("the session holds " .. (chunk and (#chunk .. " other base64 characters") or "no chunk")))
    close_session()
  end
  say("DONE " .. mode)

elseif mode == "regions-reopen" then
  local given = (read_file(opt.chunk or "") or ""):gsub("%s", "")
  local before = read_file(levels_file) or ""
  local inside0, after0 = before:match("(%S+) (%S+)")
  local s, route, proc = open_saved()
  if s then
    local inside, after = region_levels(s, route)
    check_region_levels(inside, after)
    inside0, after0 = tonumber(inside0), tonumber(after0)
    check(inside0 ~= nil and math.abs(after - after0) < 0.5 and (inside < sine_db - 40) == (inside0 < sine_db - 40),
      "same processed audio",
      string.format("inside %.2f dBFS (before %s), after %.2f dBFS (before %s)", inside, tostring(inside0),
        after, tostring(after0)))
    local saved = s:save_state("", false, false, false, false, false)
    local chunk = saved_chunk()
    check(saved == 0 and chunk == given, "same chunk after reopening",
      chunk == given and "the reopened session saves the chunk it was given" or "the chunk changed")
    close_session()
  end
  say("DONE " .. mode)

else
  say("FAIL mode: unknown mode " .. mode)
  say("DONE " .. mode)
end
